#include "values/value_store.h"

namespace kv5 {

ValueStore& TheValueStore() {
  static ValueStore store;
  return store;
}

void ResetValueStore() {
  for (EntryValues& entry : TheValueStore().entries) entry = EntryValues();
}

}  // namespace kv5

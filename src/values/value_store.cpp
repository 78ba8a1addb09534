#include "values/value_store.h"

namespace kv5 {

ValueStore& TheValueStore() {
  static ValueStore store;
  return store;
}

void ResetValueStore() {
  // An entry whose touched flag is clear holds nothing but zeros, so only
  // the touched ones need clearing. The store starts out zero and never
  // written, and a run's reset comes before anything is stored, so it
  // writes none of the store's 6 MB: pages never written take no memory.
  for (EntryValues& entry : TheValueStore().entries) {
    if (entry.touched) entry = EntryValues();
  }
}

}  // namespace kv5

#pragma once

#include <memory>
#include <string>

#include "save/reporter.h"
#include "save/save_image.h"
#include "session/session.h"
#include "values/value_store.h"

namespace kv5 {

// What a session holds: the save's image, the name that stands for it, and
// the value store its work decodes into. The store is made on the first
// piece of work that needs it; a comparison never does.
struct Session::State {
  std::string name;
  SaveImage image;
  std::unique_ptr<ValueStoreMemory> store_memory;

  // The store, empty: each piece of work starts from nothing, as a run of
  // the program does.
  ValueStore& FreshStore() {
    if (!store_memory) {
      store_memory = std::make_unique<ValueStoreMemory>();
    } else {
      ResetValueStore(store_memory->store());
    }
    return store_memory->store();
  }
};

}  // namespace kv5

#include "values/value_store.h"

#include <cstdlib>
#include <new>
#include <type_traits>

#include "save/large_pages.h"

namespace kv5 {

// All bytes zero is the empty store: no value, no flag, no count. So the
// store is taken from zeroed memory as it is, never written in full: fresh
// memory from calloc is zero without being touched, and pages never
// written take no memory. It lies on a large page boundary within its
// block, so that the entries of a read fill whole large pages.
static_assert(std::is_trivially_destructible_v<ValueStore>);
static_assert(std::is_trivially_copyable_v<ValueStore>);

ValueStoreMemory::ValueStoreMemory()
    : memory_(std::calloc(1, sizeof(ValueStore) + kStaticLargePageAlignment)) {
  if (memory_ == nullptr) throw std::bad_alloc();
  const auto address = reinterpret_cast<std::uintptr_t>(memory_);
  const std::uintptr_t aligned = (address + kStaticLargePageAlignment - 1) /
                                 kStaticLargePageAlignment * kStaticLargePageAlignment;
  store_ = std::launder(reinterpret_cast<ValueStore*>(aligned));
  AdviseLargePages(store_, sizeof(ValueStore));
}

ValueStoreMemory::~ValueStoreMemory() { std::free(memory_); }

void ResetValueStore(ValueStore& store) {
  for (EntryValues& entry : store.entries) {
    if (entry.touched) entry = EntryValues();
  }
  store.scanned_slot_count = 0;
  store.modified_count = 0;
}

}  // namespace kv5

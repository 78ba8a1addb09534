#pragma once

#include <array>
#include <cstdint>

#include "catalogue/catalogue.h"
#include "catalogue/fixed_text.h"

namespace kv5 {

// Room for 200 entries: the 118 slots of a save, and more that a text section
// may name with a range. Entries past the 118th are never encoded or exported.
constexpr int kStoreEntryCount = 200;
constexpr std::size_t kByteArrayCapacity = 100;
constexpr std::size_t kStoreTextCapacity = 20;  // 19 characters and a NUL

// The decoded value of one field. A field uses the member of its kind; the
// others mean nothing for it.
struct ValueRecord {
  std::uint8_t byte_value = 0;
  std::int32_t integer_value = 0;
  std::array<float, 3> floats{};  // a float uses the first; a float triple all three
  std::array<std::uint8_t, kByteArrayCapacity> bytes{};
  FixedText<kStoreTextCapacity> text;
};

// Whatever stores a value into an entry, or sets one of its present flags,
// sets its touched flag too: an entry that is not touched is all zero.
struct EntryValues {
  std::array<bool, kFieldCount> present{};
  std::array<ValueRecord, kFieldCount> values{};
  bool touched = false;  // some value was decoded or given by the text
};

struct ValueStore {
  std::array<EntryValues, kStoreEntryCount> entries;
  // Slots the last pass found inside the save; the export walks this many.
  std::int32_t scanned_slot_count = 0;
  // Entries the pass decoded or encoded; kept across the passes of one
  // piece of work, cleared with the store.
  std::int32_t modified_count = 0;
};

// How many bytes of a byte array field the store holds: its length, within
// what a value record has room for.
inline std::size_t ByteArrayLength(std::int32_t length) {
  if (length <= 0) return 0;
  return static_cast<std::size_t>(length) < kByteArrayCapacity ? static_cast<std::size_t>(length)
                                                               : kByteArrayCapacity;
}

// A value store of its own, for the work of one session. It starts empty,
// in memory that takes no room until it is written: a read writes 3.8 MB
// of the store's 6 MB, a write or a check a few entries.
class ValueStoreMemory {
 public:
  ValueStoreMemory();
  ~ValueStoreMemory();
  ValueStoreMemory(const ValueStoreMemory&) = delete;
  ValueStoreMemory& operator=(const ValueStoreMemory&) = delete;

  ValueStore& store() { return *store_; }

 private:
  void* memory_;
  ValueStore* store_;
};

// Clears every entry's values, present flags and touched flag, and the
// counts. Only touched entries are written: the others are clear already.
void ResetValueStore(ValueStore& store);

}  // namespace kv5

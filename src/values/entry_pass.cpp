#include "values/entry_pass.h"

#include <cstdio>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "values/codec.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

void ProcessEntry(PassDirection direction, int slot, SaveImage& image) {
  const std::int64_t entry_offset = SlotOffset(slot);
  for (int field = 0; field < kFieldCount; ++field) {
    const FieldDefinition& definition = Field(field);
    if (!definition.registered()) continue;
    const std::int64_t position = entry_offset + definition.offset;
    if (direction == PassDirection::kDecode) {
      DecodeValue(field, slot, position, image);
    } else {
      EncodeValue(field, slot, position, image);
    }
  }
}

}  // namespace

void ProcessSaveData(PassDirection direction, SaveImage& image) {
  ValueStore& store = TheValueStore();
  store.scanned_slot_count = 0;
  int entries_found = 0;
  int replay_entries = 0;
  std::printf("Processing save data.\n");

  for (int slot = 0; slot < kSlotCount; ++slot) {
    // The slots lie in ascending order, so every later slot is outside too;
    // a save cut short gets no summary.
    if (!image.SlotInImage(slot)) return;
    ++store.scanned_slot_count;
    if (!image.SlotHoldsEntry(slot)) continue;
    ++entries_found;
    if (slot >= kCustomSlotCount) {
      ++replay_entries;
      if (direction == PassDirection::kEncode) continue;
    } else if (direction == PassDirection::kEncode &&
               !store.entries[static_cast<std::size_t>(slot)].touched) {
      continue;
    }
    ++store.modified_count;
    ProcessEntry(direction, slot, image);
  }

  if (replay_entries == 0) {
    std::printf("Found %i custom character entries.\n", entries_found);
  } else {
    std::printf("Found %i custom character entries. %i of those are from replays.\n", entries_found,
                replay_entries);
  }
  if (direction == PassDirection::kEncode)
    std::printf("Modified %i entries.\n", store.modified_count);
}

}  // namespace kv5

#include "values/entry_pass.h"

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "values/codec.h"

namespace kv5 {
namespace {

// Calls `visit(field, position)` for every registered field of the entry in
// `slot`, in id order, with the field's absolute position in the image.
template <typename Visit>
void ForEachField(int slot, Visit visit) {
  const std::int64_t entry_offset = SlotOffset(slot);
  for (int field = 0; field < kFieldCount; ++field) {
    const FieldDefinition& definition = Field(field);
    if (definition.registered()) visit(field, entry_offset + definition.offset);
  }
}

void ProcessEntry(PassDirection direction, int slot, SaveImage& image, EntryValues& entry) {
  if (direction == PassDirection::kDecode) {
    DecodeEntry(slot, image, entry);
  } else {
    ForEachField(slot, [&](int field, std::int64_t position) {
      EncodeValue(field, entry, position, image);
    });
  }
}

}  // namespace

void DecodeEntry(int slot, const SaveImage& image, EntryValues& entry) {
  ForEachField(
      slot, [&](int field, std::int64_t position) { DecodeValue(field, entry, position, image); });
}

void ProcessSaveData(PassDirection direction, SaveImage& image, ValueStore& store,
                     Reporter& report) {
  store.scanned_slot_count = 0;
  int entries_found = 0;
  int replay_entries = 0;
  report.Say("Processing save data.\n");

  for (int slot = 0; slot < kSlotCount; ++slot) {
    // The slots lie in ascending order, so every later slot is outside too;
    // a save cut short gets no summary.
    if (!image.SlotInImage(slot)) return;
    ++store.scanned_slot_count;
    if (!image.SlotHoldsEntry(slot)) continue;
    ++entries_found;
    EntryValues& entry = store.entries[static_cast<std::size_t>(slot)];
    if (slot >= kCustomSlotCount) {
      ++replay_entries;
      if (direction == PassDirection::kEncode) continue;
    } else if (direction == PassDirection::kEncode && !entry.touched) {
      continue;
    }
    ++store.modified_count;
    ProcessEntry(direction, slot, image, entry);
  }

  if (replay_entries == 0) {
    report.Say("Found %i custom character entries.\n", entries_found);
  } else {
    report.Say("Found %i custom character entries. %i of those are from replays.\n", entries_found,
               replay_entries);
  }
  if (direction == PassDirection::kEncode)
    report.Say("Modified %i entries.\n", store.modified_count);
}

}  // namespace kv5

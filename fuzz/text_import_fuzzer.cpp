// Arbitrary bytes as the text file of the write mode, applied to a fixed
// save. Whatever the text says, the save may change only inside the fields
// of the custom entries, and a text field only by a string of at most 19
// characters closed within its 20 bytes. Replay slots and the bytes between
// slots never change. (Which entries the text touched the session does not
// show, so a field of an entry the text never named may change unseen.)

#include <algorithm>
#include <cstring>

#include "fuzz_support.h"
#include "save_builder/save_builder.h"
#include "session/session.h"

namespace kv5::fuzz {
namespace {

// Entries in custom and replay slots, cut short inside slot 54 so the pass
// also meets a slot outside the image.
const Bytes kSave = [] {
  builder::SaveBuilder save(3);
  save.WithExactValues(1).WithEntry(2).WithExactValues(50).WithExactValues(51).WithEntry(53);
  return save.WithLength(builder::SlotStart(54) + 100).Build();
}();

// The custom slot, 1 to 50, whose entry holds `position`, or 0.
int CustomSlotAt(std::size_t position) {
  for (int slot = 1; slot <= kCustomSlotCount; ++slot) {
    if (position - builder::SlotStart(slot) < kEntrySize) return slot;  // wraps before it
  }
  return 0;
}

void CheckChange(const std::uint8_t* now, std::size_t position) {
  const int slot = CustomSlotAt(position);
  if (slot == 0 || !SlotHoldsEntry(ConstByteSpan(kSave.data(), kSave.size()), slot - 1)) {
    Fail("byte %zu changed outside every custom entry", position);
  }
  const std::size_t offset = position - builder::SlotStart(slot);
  const int field = FieldCoverage()[offset];
  if (field < 0) Fail("slot %d changed at entry offset %zu, outside every field", slot, offset);
  const FieldDefinition& definition = Field(field);
  if (definition.kind == FieldKind::kText &&
      !std::memchr(now + position - offset + definition.offset, 0, kStoreTextCapacity)) {
    Fail("slot %d: text field %s holds no NUL in its 20 bytes", slot, definition.name.c_str());
  }
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  const Bytes& save = fuzz::kSave;
  static Session session = std::move(*Session::Open(save, "KV5SaveData").session);
  session.ApplyText(std::string_view(reinterpret_cast<const char*>(data), size), "KV5SaveData.txt");

  // Compared a slot at a time: few inputs change more than a few entries.
  const std::uint8_t* now = session.data();
  for (int slot = 0; slot <= kSlotCount; ++slot) {
    const std::size_t start = slot == 0 ? 0 : builder::SlotStart(slot);
    const std::size_t end = slot == kSlotCount ? save.size() : builder::SlotStart(slot + 1);
    if (start >= save.size()) break;
    const std::size_t stop = std::min(end, save.size());
    if (std::memcmp(&save[start], now + start, stop - start) == 0) continue;
    for (std::size_t k = start; k < stop; ++k) {
      if (now[k] != save[k]) fuzz::CheckChange(now, k);
    }
    // The next input starts afresh.
    session.ReplaceEntry(slot, &save[start], kEntrySize, "entry.bin");
  }
  return 0;
}

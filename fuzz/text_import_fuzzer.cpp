// Arbitrary bytes as the text file of the write mode: the import fills the
// value store and the encode pass writes it into a fixed save. Whatever the
// text says, the save may change only inside the registered fields of the
// custom entries the text touched, and a text field only by a string of at
// most 19 characters closed within its 20 bytes. Replay slots, untouched
// entries and the bytes between slots never change.

#include <algorithm>
#include <cstring>

#include "fuzz_support.h"
#include "save/save_image.h"
#include "save_builder/save_builder.h"
#include "text/text_import.h"
#include "values/entry_pass.h"
#include "values/value_store.h"

namespace kv5::fuzz {
namespace {

// Entries in custom and replay slots, cut short inside slot 54 so the pass
// also meets a slot outside the image.
const std::vector<std::uint8_t> kSave = [] {
  builder::SaveBuilder save(3);
  save.WithExactValues(1).WithEntry(2).WithExactValues(50).WithExactValues(51).WithEntry(53);
  return save.WithLength(builder::SlotStart(54) + 100).Build();
}();

void CheckChange(const SaveImage& image, std::size_t position) {
  int slot = 0;
  while (slot + 1 < kCustomSlotCount && position >= builder::SlotStart(slot + 2)) ++slot;
  const std::size_t offset = position - builder::SlotStart(slot + 1);  // wraps before slot 1
  if (offset >= kEntrySize || !image.SlotHoldsEntry(slot)) {
    Fail("byte %zu changed outside every custom entry", position);
  }
  if (!TheValueStore().entries[static_cast<std::size_t>(slot)].touched) {
    Fail("slot %d changed at entry offset %zu but the text did not touch it", slot + 1, offset);
  }
  const int field = field_coverage[offset];
  if (field < 0) Fail("slot %d changed at entry offset %zu, outside every field", slot + 1, offset);
  const FieldDefinition& definition = Field(field);
  if (definition.kind == FieldKind::kText &&
      !std::memchr(&image.bytes[position - offset + definition.offset], 0, kStoreTextCapacity)) {
    Fail("slot %d: text field %s holds no NUL in its 20 bytes", slot + 1, definition.name.c_str());
  }
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kv5::fuzz::Start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  const std::vector<std::uint8_t>& save = fuzz::kSave;
  static SaveImage image{ImageBytes(save.begin(), save.end()), Edition::kFive};
  ResetValueStore();
  File text_file(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
  ReadTextFile(text_file, "KV5SaveData.txt");
  ProcessSaveData(PassDirection::kEncode, image);

  // Compared a block at a time: few inputs change more than a few blocks.
  constexpr std::size_t kBlock = 4096;
  for (std::size_t start = 0; start < save.size(); start += kBlock) {
    const std::size_t end = std::min(start + kBlock, save.size());
    if (std::memcmp(&save[start], &image.bytes[start], end - start) == 0) continue;
    for (std::size_t k = start; k < end; ++k) {
      if (image.bytes[k] != save[k]) fuzz::CheckChange(image, k);
    }
  }
  std::copy(save.begin(), save.end(), image.bytes.begin());  // the next input starts afresh
  return 0;
}

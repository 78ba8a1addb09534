// Arbitrary bytes as the text file of the write mode: the import fills the
// value store and the encode pass writes it into a fixed save. Whatever the
// text says, the save may change only inside the registered fields of the
// custom entries the text touched, and a text field only by a string of at
// most 19 characters closed within its 20 bytes. Replay slots, untouched
// entries and the bytes between slots never change.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fuzz_support.h"
#include "save/save_image.h"
#include "save_builder/save_builder.h"
#include "text/text_import.h"
#include "values/entry_pass.h"
#include "values/value_store.h"

namespace kv5::fuzz {
namespace {

struct Setup {
  // Entries in custom and replay slots, cut short inside slot 54 so the pass
  // also meets a slot outside the image.
  std::vector<std::uint8_t> save = builder::SaveBuilder(3)
                                       .WithExactValues(1)
                                       .WithEntry(2)
                                       .WithBlankEntry(5)
                                       .WithExactValues(50)
                                       .WithExactValues(51)
                                       .WithEntry(53)
                                       .WithLength(builder::SlotStart(54) + 100)
                                       .Build();
  std::vector<int> coverage = FieldCoverage();
  std::string text_path = ScratchPath("edit.txt");
  SaveImage image;
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

void CheckChange(const Setup& setup, std::size_t position) {
  const ImageBytes& after = setup.image.bytes;
  const EntryPlace place = CustomEntryPlace(position);
  if (place.slot < 0 || !setup.image.SlotInImage(place.slot) ||
      !setup.image.SlotHoldsEntry(place.slot)) {
    Fail("byte %zu changed outside every custom entry", position);
  }
  if (!TheValueStore().entries[static_cast<std::size_t>(place.slot)].touched) {
    Fail("slot %d changed at entry offset %zu but the text did not touch it", place.slot + 1,
         place.offset);
  }
  const int field = setup.coverage[place.offset];
  if (field < 0) {
    Fail("slot %d changed at entry offset %zu, outside every field", place.slot + 1, place.offset);
  }
  if (Field(field).kind != FieldKind::kText) return;
  const std::size_t start = position - place.offset + static_cast<std::size_t>(Field(field).offset);
  for (std::size_t k = start; k < start + kStoreTextCapacity; ++k) {
    if (after[k] == 0) return;
  }
  Fail("slot %d: text field %s holds no NUL within its %zu bytes", place.slot + 1,
       Field(field).name.c_str(), kStoreTextCapacity);
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kv5::fuzz::SilenceStdout();
  kv5::fuzz::BuildFuzzCatalogue();
  kv5::fuzz::Setup& setup = kv5::fuzz::TheSetup();
  setup.image.bytes.assign(setup.save.begin(), setup.save.end());
  setup.image.edition = kv5::Edition::kFive;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  fuzz::Setup& setup = fuzz::TheSetup();
  fuzz::WriteScratchFile(setup.text_path, data, size);
  ResetValueStore();

  File text_file = File::Open(setup.text_path, "rb");
  ReadTextFile(text_file, setup.text_path);
  ProcessSaveData(PassDirection::kEncode, setup.image);

  const std::vector<std::size_t> changed = fuzz::ChangedPositions(setup.save, setup.image.bytes);
  for (const std::size_t position : changed) fuzz::CheckChange(setup, position);
  // The next input starts from the same save.
  for (const std::size_t position : changed) setup.image.bytes[position] = setup.save[position];
  return 0;
}

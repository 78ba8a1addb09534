// Arbitrary bytes as a save (laid out as save_input.h says): load it, test
// its edition, decode every entry, export the text, then read that text back
// unchanged and write it into the save as the write mode does. No byte of the
// save may change: a line that says what the export says leaves its field's
// bytes alone, whatever the save holds there.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fuzz_support.h"
#include "save/save_image.h"
#include "save_input.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "text/unchanged_lines.h"
#include "values/entry_pass.h"
#include "values/value_store.h"

namespace kv5::fuzz {
namespace {

struct Setup {
  std::string save_path = ScratchPath("KV5SaveData");
  std::string text_path = ScratchPath("KV5SaveData.txt");
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kv5::fuzz::SilenceStdout();
  kv5::fuzz::BuildFuzzCatalogue();
  kv5::fuzz::TheSetup();
  kv5::fuzz::BaseSave();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  const fuzz::Setup& setup = fuzz::TheSetup();
  static fuzz::SaveInput input;
  fuzz::MakeSaveInput(data, size, input);
  SaveImage& image = TheSaveImage();
  if (input.layout == fuzz::Layout::kEntry || input.layout == fuzz::Layout::kFields) {
    // Big saves go straight into the image; the loader reads the small ones.
    image.bytes.assign(input.save.begin(), input.save.end());
    image.edition = DetectEdition(image.view());
  } else {
    fuzz::WriteScratchFile(setup.save_path, input.save.data(), input.save.size());
    File save_file = File::Open(setup.save_path, "rb");
    if (!LoadSaveData(save_file, setup.save_path)) fuzz::Fail("a whole file was not loaded");
    if (!std::equal(image.bytes.begin(), image.bytes.end(), input.save.begin(), input.save.end()))
      fuzz::Fail("the loaded image differs from the file");
  }
  if (image.edition != Edition::kFive) return 0;

  fuzz::BuildFuzzCatalogue();
  ProcessSaveData(PassDirection::kDecode, image);
  {
    OutputFile text_file(setup.text_path);
    WriteTextFile(text_file, input.aligned_text);
  }
  ResetValueStore();
  File text_file = File::Open(setup.text_path, "rb");
  const ImportedText imported = ReadTextFile(text_file, setup.text_path);
  DropUnchangedValues(image, imported);
  ProcessSaveData(PassDirection::kEncode, image);

  const std::vector<std::size_t> changed = fuzz::ChangedPositions(input.save, image.bytes);
  if (!changed.empty()) {
    const fuzz::EntryPlace place = fuzz::CustomEntryPlace(changed.front());
    fuzz::Fail("%zu bytes changed, the first at %zu (slot %d, entry offset %zu)", changed.size(),
               changed.front(), place.slot + 1, place.offset);
  }
  return 0;
}

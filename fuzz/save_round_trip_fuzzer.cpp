// Arbitrary bytes as a save (laid out as save_input.h says): load it, test
// its edition, decode every entry, export the text, then read that text back
// unchanged and encode it. Writing back an unchanged export may change only
// what the text form cannot carry: the byte after a text field's printable
// run becomes its NUL, and a float comes back as the float its six-decimal
// text reads as, so it exports to the same text. No other byte changes: no
// byte or byte-array field, nothing outside the fields of custom entries.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fuzz_support.h"
#include "save/save_image.h"
#include "save_input.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "values/entry_pass.h"
#include "values/value_store.h"

namespace kv5::fuzz {
namespace {

struct Setup {
  std::vector<int> coverage = FieldCoverage();
  std::string save_path = ScratchPath("KV5SaveData");
  std::string text_path = ScratchPath("KV5SaveData.txt");
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

bool IsPrintable(std::uint8_t byte) { return byte >= 32 && byte <= 126; }

std::string FloatText(ConstByteSpan image, std::size_t position) {
  std::uint32_t bits = 0;
  for (std::size_t k = 0; k < 4; ++k) bits = bits << 8 | image[position + k];
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

void CheckChange(const Setup& setup, ConstByteSpan before, ConstByteSpan after,
                 std::size_t position) {
  const EntryPlace place = CustomEntryPlace(position);
  if (place.slot < 0 || !SlotInImage(static_cast<std::int64_t>(before.size()), place.slot) ||
      !SlotHoldsEntry(before, place.slot)) {
    Fail("byte %zu changed outside every custom entry", position);
  }
  const int id = setup.coverage[place.offset];
  if (id < 0) {
    Fail("slot %d changed at entry offset %zu, outside every field", place.slot + 1, place.offset);
  }
  const FieldDefinition& field = Field(id);
  const std::size_t start = position - place.offset + static_cast<std::size_t>(field.offset);
  if (field.kind == FieldKind::kText) {
    std::size_t run = 0;
    while (run < kStoreTextCapacity && IsPrintable(before[start + run])) ++run;
    if (run == 0 || run >= kStoreTextCapacity || position != start + run || after[position] != 0) {
      Fail(
          "slot %d: text field %s changed at its byte %zu from %02X to %02X; its text has %zu "
          "characters",
          place.slot + 1, field.name.c_str(), position - start, before[position], after[position],
          run);
    }
    return;
  }
  if (field.kind == FieldKind::kFloat) {
    const std::string old_text = FloatText(before, start);
    const std::string new_text = FloatText(after, start);
    if (old_text != new_text) {
      Fail("slot %d: float field %s changed from %s to %s", place.slot + 1, field.name.c_str(),
           old_text.c_str(), new_text.c_str());
    }
    return;
  }
  Fail("slot %d: field %s changed at its byte %zu from %02X to %02X", place.slot + 1,
       field.name.c_str(), position - start, before[position], after[position]);
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
  ReadTextFile(text_file, setup.text_path);
  ProcessSaveData(PassDirection::kEncode, image);

  for (const std::size_t position : fuzz::ChangedPositions(input.save, image.bytes)) {
    fuzz::CheckChange(setup, input.save, image.bytes, position);
  }
  return 0;
}

// Arbitrary bytes as a save (laid out as save_input.h says): load it, test
// its edition, decode every entry, export the text, then read that text back
// unchanged and write it into the save as the write mode does. No byte of the
// save may change: a line that says what the export says leaves its field's
// bytes alone, whatever the save holds there.
//
// Before that the save is compared with the builder save, as the compare
// mode does: every field line of the output must name a field whose value
// differs between the two and that the export writes for the new save, and
// no comment may hold a section header.

#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"
#include "compare/compare_saves.h"
#include "fuzz_support.h"
#include "save/save_image.h"
#include "save_input.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "text/tokens.h"
#include "text/unchanged_lines.h"
#include "values/codec.h"
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

// The export's text of the field in the entry, or nothing where it writes none.
std::optional<std::string> ShownValue(int field, ConstByteSpan entry) {
  const FieldDefinition& definition = Field(field);
  ValueRecord value;
  if (!DecodeField(definition.kind, definition.length,
                   entry.subspan(static_cast<std::size_t>(definition.offset), entry.size()),
                   value) ||
      !ExportWrites(field, value)) {
    return std::nullopt;
  }
  return std::string(ExportedValue(field, value).text());
}

void CheckFieldLine(const SaveImage& old_save, const SaveImage& new_save, int slot,
                    std::string_view line) {
  if (slot < 0 || !old_save.SlotInImage(slot) || !new_save.SlotInImage(slot)) {
    Fail("field line outside a section of two characters: %.*s", static_cast<int>(line.size()),
         line.data());
  }
  const int field = FindField(WithoutTrailingSpaces(line.substr(0, line.find('='))));
  if (field < 0) Fail("no field is named by %.*s", static_cast<int>(line.size()), line.data());
  const std::optional<std::string> was = ShownValue(field, old_save.Entry(slot));
  const std::optional<std::string> is = ShownValue(field, new_save.Entry(slot));
  if (!is || was == is) {
    Fail("slot %d: field %s is printed but does not differ", slot + 1, Field(field).name.c_str());
  }
}

void CheckComparison(const SaveImage& old_save, const SaveImage& new_save, bool aligned_text) {
  std::string output;
  CompareSaves(old_save, new_save, aligned_text,
               [&output](std::string_view text) { output += text; });
  int slot = -1;
  for (std::size_t start = 0; start < output.size();) {
    const std::size_t end = output.find('\n', start);
    if (end == std::string::npos || end == start) Fail("an empty line or no line end");
    std::string_view line(output.data() + start, end - start);
    start = end + 1;
    if (line[0] == '[') {
      if (FindEntryHeader(line) != 6) Fail("a line that is no section header begins with [");
      slot = ReadEntryNumber(line.substr(6));
    } else if (line[0] == '#') {
      std::string lower(line);
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower.find("[entry") != std::string::npos)
        Fail("a comment holds [entry: %s", lower.c_str());
    } else {
      if (FindEntryHeader(line) >= 0) Fail("a field line reads as a section header");
      CheckFieldLine(old_save, new_save, slot, line);
    }
  }
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
  static const SaveImage base = [] {
    SaveImage made;
    made.bytes.assign(fuzz::BaseSave().begin(), fuzz::BaseSave().end());
    made.edition = Edition::kFive;
    return made;
  }();
  if (input.input_is_old) {
    fuzz::CheckComparison(image, base, input.aligned_text);
  } else {
    fuzz::CheckComparison(base, image, input.aligned_text);
  }
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

// A builder save with one entry made of the input: the entry's signature and
// the bytes its fields cover, in ascending order (about 900 of them), from
// the place that byte 1 times 4 gives on; bytes the input does not reach keep
// the builder's values. Byte 0 picks the entry (bits 0-2 modulo 5: slot 1
// exact values, 2 awkward values, 3 noise, 4 zeros, replay slot 51 awkward
// values) and sets bit 3 aligned text, bit 4 the fuzzed save as the old one
// in the comparison, bit 5 a save that ends inside slot 51, bit 6 the
// comparison with another save, whose entries there are of other kinds (or
// none), instead of the builder save. With bit 7 the rest of the input is
// instead a whole save file, which must load as it is; if it is of the fifth
// edition, it is the save that is compared and written back.
//
// In the comparison, as the compare mode makes it, every field line must
// name a field whose value as the export writes it differs, and that the
// export writes for the new save; no comment may hold a section header.
// Then the save is decoded, exported, the export read back unchanged and
// written into the save as the write mode does: no byte may change.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "compare/compare_saves.h"
#include "fuzz_support.h"
#include "save_builder/save_builder.h"
#include "text/text_export.h"
#include "text/tokens.h"
#include "text/unchanged_lines.h"
#include "values/entry_pass.h"

namespace kv5::fuzz {
namespace {

constexpr int kSlots[] = {1, 2, 3, 4, 51};

// The save the input changes, and one to compare it with: the same but for
// entries of other kinds, or none, in the slots the input picks from.
const auto [kBase, kOther] = [] {
  builder::SaveBuilder base(5);
  builder::SaveBuilder other(5);
  base.WithExactValues(1).WithAwkwardValues(2).WithEntry(3).WithBlankEntry(4).WithAwkwardValues(51);
  other.WithAwkwardValues(1).WithThumbnail(1).WithExactValues(2).WithBlankEntry(3).WithExactValues(
      51);
  const auto image = [](builder::SaveBuilder& save) {
    const std::vector<std::uint8_t> bytes = save.WithLength(builder::SlotStart(52)).Build();
    return SaveImage{ImageBytes(bytes.begin(), bytes.end()), Edition::kFive};
  };
  return std::pair(image(base), image(other));
}();

// The entry offsets the input sets: the signature and every byte of a field.
std::vector<std::size_t> settable;

// The export's text of the field in the entry, or nothing where it writes none.
std::optional<std::string> ShownValue(int field, ConstByteSpan entry) {
  const FieldDefinition& definition = Field(field);
  ValueRecord value;
  const std::size_t offset = static_cast<std::size_t>(definition.offset);
  const bool shown =
      DecodeField(definition.kind, definition.length, entry.subspan(offset, entry.size()), value) &&
      ExportWrites(field, value);
  return shown ? std::optional(std::string(ExportedValue(field, value).text())) : std::nullopt;
}

void CheckComparison(const SaveImage& old_save, const SaveImage& new_save, bool aligned_text) {
  std::string output;
  CompareSaves(old_save, new_save, aligned_text, [&](std::string_view text) { output += text; });
  if (!output.empty() && output.back() != '\n') Fail("the last line has no end");
  std::istringstream lines(output);
  int slot = -1;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) Fail("an empty line");
    if (line[0] == '[') {
      if (FindEntryHeader(line) != 6) Fail("a line that is no section header begins with [");
      slot = ReadEntryNumber(std::string_view(line).substr(6));
    } else if (line[0] == '#') {
      for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (line.find("[entry") != std::string::npos) Fail("a comment holds %s", line.c_str());
    } else {
      if (FindEntryHeader(line) >= 0) Fail("a field line holds a section header: %s", line.c_str());
      if (slot < 0 || !old_save.SlotInImage(slot) || !new_save.SlotInImage(slot)) {
        Fail("field line outside a section of two characters: %s", line.c_str());
      }
      const int field = FindField(WithoutTrailingSpaces(line.substr(0, line.find('='))));
      if (field < 0) Fail("no field is named by %s", line.c_str());
      const std::optional<std::string> is = ShownValue(field, new_save.Entry(slot));
      if (!is || ShownValue(field, old_save.Entry(slot)) == is) {
        Fail("slot %d: %s is printed but does not differ", slot + 1, line.c_str());
      }
    }
  }
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace kv5::fuzz;
  Start();
  for (std::size_t k = 0; k < field_coverage.size(); ++k) {
    if (k < kv5::kEntrySignature.size() || field_coverage[k] >= 0) settable.push_back(k);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  static const std::string path = std::filesystem::temp_directory_path() /
                                  ("kv5save-fuzz-" + std::to_string(getpid()) + ".txt");
  static SaveImage image;
  static ImageBytes loaded;

  const std::uint8_t options = size > 0 ? data[0] : 0;
  const bool aligned_text = (options & 8) != 0;
  std::size_t start = 0;
  if ((options & 128) != 0) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data + 1), size - 1);
    File save_file = File::Open(path, "rb");
    if (!LoadSaveData(save_file, path, image)) fuzz::Fail("a whole file was not loaded");
    if (!std::equal(image.bytes.begin(), image.bytes.end(), data + 1, data + size)) {
      fuzz::Fail("the loaded image differs from the file");
    }
    if (image.edition != Edition::kFive) return 0;
  } else {
    image = fuzz::kBase;
    if ((options & 32) != 0) image.bytes.resize(builder::SlotStart(51) + 1000);
    start = builder::SlotStart(fuzz::kSlots[(options & 7) % 5]);
    for (std::size_t i = 2, k = size > 1 ? data[1] * 4u : 0; i < size && k < fuzz::settable.size();
         ++i, ++k) {
      const std::size_t at = start + fuzz::settable[k];
      if (at < image.bytes.size()) image.bytes[at] = data[i];
    }
  }
  loaded = image.bytes;

  const SaveImage& other = (options & 64) != 0 ? fuzz::kOther : fuzz::kBase;
  fuzz::CheckComparison((options & 16) != 0 ? image : other, (options & 16) != 0 ? other : image,
                        aligned_text);
  ResetValueStore();
  ProcessSaveData(PassDirection::kDecode, image);
  OutputFile text_file(path);
  WriteTextFile(text_file, aligned_text);
  ResetValueStore();
  File text = File::Open(path, "rb");
  DropUnchangedValues(image, ReadTextFile(text, path));
  std::remove(path.c_str());
  ProcessSaveData(PassDirection::kEncode, image);
  const auto changed = std::mismatch(image.bytes.begin(), image.bytes.end(), loaded.begin());
  if (changed.first != image.bytes.end()) {
    fuzz::Fail("byte %zd of the save changed, entry offset %zd",
               changed.first - image.bytes.begin(),
               changed.first - image.bytes.begin() - static_cast<std::ptrdiff_t>(start));
  }
  return 0;
}

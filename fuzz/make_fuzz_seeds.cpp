// make_fuzz_seeds <directory>: writes the seed corpora of the fuzz targets
// into <directory>/<target>/. Saves come from the save builder, texts from
// the tool's own read mode on such saves, command lines from the usage text.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "cli/run.h"
#include "fuzz_support.h"
#include "save/edition.h"
#include "save/slots.h"
#include "save_builder/save_builder.h"
#include "save_input.h"

namespace kv5::fuzz {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using builder::SaveBuilder;
using builder::SlotStart;

void WriteSeed(const fs::path& directory, const std::string& name, const Bytes& bytes) {
  fs::create_directories(directory);
  WriteScratchFile((directory / name).string(), bytes.data(), bytes.size());
}

void WriteSeed(const fs::path& directory, const std::string& name, const std::string& text) {
  WriteSeed(directory, name, Bytes(text.begin(), text.end()));
}

// The text the read mode makes of `save`.
Bytes Export(const Bytes& save, bool aligned) {
  const std::string save_path = ScratchPath("KV5SaveData");
  WriteScratchFile(save_path, save.data(), save.size());
  std::vector<const char*> argv = {"kv5save", "-r", save_path.c_str()};
  if (aligned) argv.insert(argv.begin() + 1, "-t");
  Run(static_cast<int>(argv.size()), argv.data());
  return ReadScratchFile(save_path + ".txt");
}

void TextImportSeeds(const fs::path& directory) {
  WriteSeed(directory, "export-exact",
            Export(SaveBuilder(11).WithExactValues(3).WithLength(SlotStart(4)).Build(), false));
  WriteSeed(directory, "export-exact-aligned",
            Export(SaveBuilder(12).WithExactValues(7).WithLength(SlotStart(8)).Build(), true));
  WriteSeed(
      directory, "export-noise-and-replay",
      Export(SaveBuilder(13).WithEntry(50).WithBlankEntry(51).WithLength(SlotStart(52)).Build(),
             false));
  WriteSeed(directory, "one-float", "[ENTRY3]\r\nScale-Head=1.5\r\n");
  WriteSeed(directory, "range",
            "[entry1to3]\nVoice=AA\n[ENTRY50TO200]\nName=ABC (note)\n#[ENTRY2]\nFace=1B 0C\n");
  WriteSeed(directory, "byte-arrays",
            "[ENTRY1]\nModel Type=00 01 (female KVC)\nUG0-Neck=1B0C0000\nFace=1B\n");
  WriteSeed(directory, "texts",
            "[ENTRY50]\nName= spaced  \nName 2=12345678901234567890\nEffect 1?=a,b\n"
            "Name Formatting?=" +
                std::string(120, 'x') + "\n");
  WriteSeed(directory, "bad-headers",
            "x\n[ENTRY51]\nNo such field=1\n[ENTRY1]\n   \nBogus\n[ENTRY 3]\nVoice=99\n");
  WriteSeed(directory, "spare-kinds",
            "[ENTRY1]\nSpare Int16=-70000\nSpare Int32=2147483648\nSpare Integer=12abc\n"
            "Spare Triple=1.5, 2\n[ENTRY2to3]\nSpare Triple=0000803F 00000040 1234\n");
  WriteSeed(directory, "long-line", "[ENTRY1]\n" + std::string(1200, 'x') + "\nVoice=12\r\n");
}

// The field area of slot 1's entry in `save`: everything an entry's fields
// can reach, without the thumbnail.
Bytes FieldArea(const Bytes& save) {
  const auto start = save.begin() + static_cast<std::ptrdiff_t>(SlotStart(1));
  return Bytes(start, start + kThumbnailOffset);
}

void SaveRoundTripSeeds(const fs::path& directory) {
  // The bytes of layout 3 are those of the catalogue the target fuzzes with.
  BuildFuzzCatalogue();
  const Bytes exact =
      FieldArea(SaveBuilder(21).WithExactValues(1).WithLength(SlotStart(2)).Build());
  const Bytes noise = FieldArea(SaveBuilder(22).WithEntry(1).WithLength(SlotStart(2)).Build());
  const Bytes blank = FieldArea(SaveBuilder(23).WithBlankEntry(1).WithLength(SlotStart(2)).Build());
  for (std::uint8_t choice = 0; choice < 4; ++choice) {
    const std::string slot = std::to_string(kEntryChoices[choice]);
    WriteSeed(directory, "entry-exact-" + slot, EncodeSaveInput(Layout::kEntry, choice, exact));
    WriteSeed(directory, "entry-noise-" + slot, EncodeSaveInput(Layout::kEntry, choice, noise));
    WriteSeed(directory, "entry-blank-" + slot, EncodeSaveInput(Layout::kEntry, choice, blank));
    WriteSeed(directory, "fields-exact-" + slot,
              EncodeSaveInput(Layout::kFields, choice, FieldBytes(exact)));
    WriteSeed(directory, "fields-noise-" + slot,
              EncodeSaveInput(Layout::kFields, choice, FieldBytes(noise)));
  }
  WriteSeed(directory, "entry-exact-aligned-cut",
            EncodeSaveInput(Layout::kEntry, kAlignedText | kCutShort, exact));
  WriteSeed(directory, "fields-blank-aligned",
            EncodeSaveInput(Layout::kFields, kAlignedText, FieldBytes(blank)));

  const Bytes title_five(SaveBuilder(24).WithLength(kTitleWindowOffset + 40).Build());
  const Bytes title_four(SaveBuilder(25)
                             .WithTitle(builder::Title::kEditionFour)
                             .WithLength(kTitleWindowOffset + 27)
                             .Build());
  WriteSeed(directory, "whole-empty", EncodeSaveInput(Layout::kWholeFile, 0, {}));
  WriteSeed(directory, "whole-short", EncodeSaveInput(Layout::kWholeFile, 0, {0x4B, 0, 0x45}));
  WriteSeed(directory, "whole-edition-five", EncodeSaveInput(Layout::kWholeFile, 0, title_five));
  WriteSeed(directory, "whole-edition-four", EncodeSaveInput(Layout::kWholeFile, 0, title_four));
  const auto window = title_five.begin() + kTitleWindowOffset;
  WriteSeed(directory, "title-edition-five",
            EncodeSaveInput(Layout::kTitleWindow, 0, Bytes(window, title_five.end())));
}

// Arguments as the command line target reads them: each ended by a NUL.
std::string CommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) line += argument + '\0';
  return line;
}

void CommandLineSeeds(const fs::path& directory) {
  const std::vector<std::vector<std::string>> lines = {
      {"KV5SaveData"},
      {"-r", "KV5SaveData"},
      {"-w", "KV5SaveData", "KV5SaveData.txt"},
      {"-x", "KV5SaveData", "40"},
      {"-rp", "KV5SaveData", "40", "entry50.bin"},
      {"-xt", "-p", "save", " +118"},
      {"-rt", "save", "0119abc", "image1.ptc"},
      {"save", "-x", "5"},
      {"-extract", "-write", "-foo", "-t", "-s", "save", "-3"},
      {"-replace", "-path", "-tab", "-show", "save", "2147483648", "x"},
      {"-replacethumbnail", "-extractthumbnail", "-read", "", "\t-0"},
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    WriteSeed(directory, "line-" + std::to_string(i), CommandLine(lines[i]));
  }
}

}  // namespace
}  // namespace kv5::fuzz

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <directory>\n");
    return 2;
  }
  kv5::fuzz::SilenceStdout();
  const std::filesystem::path directory = argv[1];
  kv5::fuzz::TextImportSeeds(directory / "text_import");
  kv5::fuzz::SaveRoundTripSeeds(directory / "save_round_trip");
  kv5::fuzz::CommandLineSeeds(directory / "command_line");
  return 0;
}

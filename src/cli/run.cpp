#include "cli/run.h"

#include <cstdio>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "cli/entry_number.h"
#include "cli/options.h"
#include "cli/usage.h"
#include "save/file.h"
#include "save/new_save.h"
#include "save/path.h"
#include "save/save_image.h"
#include "save/transfer.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "text/unchanged_lines.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

// Opens and loads the save named first on the command line. Reports every
// failure, and prints the usage text when there is no save or it is not an
// edition 5 save. Returns the save path when the run goes on.
std::optional<std::string> LoadEditionFiveSave(const Options& options) {
  if (options.positional.empty()) {
    PrintUsage();
    return std::nullopt;
  }
  std::optional<std::string> save_path = FitPath(kSavePathCapacity, {options.positional[0]});
  if (!save_path) return std::nullopt;
  File save_file = File::Open(*save_path, "rb");
  if (!save_file) {
    std::printf("Error: Couldn't open %s.", save_path->c_str());
    return std::nullopt;
  }
  if (!LoadSaveData(save_file, *save_path)) return std::nullopt;
  if (TheSaveImage().edition != Edition::kFive) {
    PrintUsage();
    return std::nullopt;
  }
  return save_path;
}

// The entry number argument, or nothing after the message for an invalid one.
std::optional<int> SelectedSlot(std::string_view argument) {
  const EntryNumber number = ReadEntryNumberArgument(argument);
  if (!number.valid()) {
    std::printf("Error: %i is not a valid entry number.\n", number.as_read);
    return std::nullopt;
  }
  return number.slot();
}

void RunRead(const Options& options, const std::string& save_path) {
  const std::optional<std::string> text_path = TextFileNameFor(save_path, options.into_directories);
  if (!text_path) return;
  if (options.into_directories) MakeDirectory("txt");
  OutputFile text_file(*text_path);
  if (!CreatedOrReported(text_file)) return;
  ProcessSaveData(PassDirection::kDecode, TheSaveImage());
  WriteTextFile(text_file, options.aligned_text);
}

std::optional<std::string> RunWrite(const Options& options, const std::string& save_path) {
  const std::optional<std::string> text_path =
      FitPath(kFormedPathCapacity, {options.positional[1]});
  if (!text_path) return std::nullopt;
  File text_file = File::Open(*text_path, "rb");
  if (!text_file) {
    std::printf("Error: Couldn't open file %s for reading\n", text_path->c_str());
    return std::nullopt;
  }
  const ImportedText imported = ReadTextFile(text_file, *text_path);
  DropUnchangedValues(TheSaveImage(), imported);
  ProcessSaveData(PassDirection::kEncode, TheSaveImage());
  return WriteNewSave(TheSaveImage(), save_path, options.into_directories);
}

// After a mode wrote a new save: without "-p" it takes the place of the save
// file in one step, so a complete save is on disk at every moment.
void MoveNewSaveOntoSave(const std::optional<std::string>& new_save, const Options& options,
                         const std::string& save_path) {
  if (!new_save || options.into_directories) return;
  if (!MoveFileOnto(*new_save, save_path)) {
    std::printf("Error: Couldn't move %s onto %s\n", new_save->c_str(), save_path.c_str());
  }
}

void RunSelectedMode(const Options& options, const std::string& save_path) {
  ClearTables();
  BuildFieldCatalogue();
  if (static_cast<int>(options.positional.size()) < PositionalArgumentsNeeded(options.mode)) {
    PrintUsage();
    return;
  }
  if (options.mode == RunMode::kRead) {
    RunRead(options, save_path);
    return;
  }
  if (options.mode == RunMode::kWrite) {
    MoveNewSaveOntoSave(RunWrite(options, save_path), options, save_path);
    return;
  }
  const std::optional<int> slot = SelectedSlot(options.positional[1]);
  if (!slot) return;
  SaveImage& image = TheSaveImage();
  if (options.mode == RunMode::kExtract) {
    ExtractEntry(image, *slot, options.into_directories);
    return;
  }
  if (options.mode == RunMode::kExtractThumbnail) {
    ExtractThumbnail(image, *slot, options.into_directories);
    return;
  }
  const std::optional<std::string> input_path =
      FitPath(kFormedPathCapacity, {options.positional[2]});
  if (!input_path) return;
  const std::optional<std::string> new_save =
      options.mode == RunMode::kReplace
          ? ReplaceEntry(image, *slot, *input_path, save_path, options.into_directories)
          : ReplaceThumbnail(image, *slot, *input_path, save_path, options.into_directories);
  MoveNewSaveOntoSave(new_save, options, save_path);
}

}  // namespace

int Run(int argc, const char* const argv[]) {
  const Options options = ParseOptions(argc, argv);
  if (const std::optional<std::string> save_path = LoadEditionFiveSave(options)) {
    RunSelectedMode(options, *save_path);
  }
  FreeSaveData();
  return 0;
}

}  // namespace kv5

#include "cli/run.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "cli/entry_number.h"
#include "cli/options.h"
#include "cli/usage.h"
#include "compare/compare_saves.h"
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

// Exit statuses, for scripts that run the tool.
constexpr int kDone = 0;
constexpr int kProblemReported = 1;
constexpr int kArgumentsMissing = 2;
// The compare mode's, as diff(1) and cmp(1) have them.
constexpr int kSavesAlike = 0;
constexpr int kSavesDiffer = 1;
constexpr int kCompareTrouble = 2;

int StatusOf(bool done) { return done ? kDone : kProblemReported; }

// The modes that put a new save in the save's place; two of them at once
// on one save take turns.
bool ReplacesSave(const Options& options) {
  return !options.into_directories &&
         (options.mode == RunMode::kWrite || options.mode == RunMode::kReplace ||
          options.mode == RunMode::kReplaceThumbnail);
}

// Opens and loads the save `argument` names into `image`; with a `lock`,
// takes the save's lock first. Reports every failure, and prints the usage
// text when it is not an edition 5 save. Returns the save path when the run
// goes on.
std::optional<std::string> LoadEditionFiveSave(std::string_view argument, SaveImage& image,
                                               platform::SaveLock* lock) {
  std::optional<std::string> save_path = FitPath(kSavePathCapacity, {argument});
  if (!save_path) return std::nullopt;
  if (lock != nullptr) *lock = platform::SaveLock(*save_path);
  File save_file = File::OpenWithoutWaiting(*save_path);
  if (!save_file) {
    std::printf("Error: Couldn't open %s.", save_path->c_str());
    return std::nullopt;
  }
  if (!LoadSaveData(save_file, *save_path, image)) return std::nullopt;
  if (image.edition != Edition::kFive) {
    PrintUsage();
    return std::nullopt;
  }
  return save_path;
}

// The entry number argument, or nothing after the message for an invalid one.
std::optional<int> SelectedSlot(std::string_view argument) {
  const EntryNumber number = ReadEntryNumberArgument(argument);
  if (!number.plain) {
    std::printf("Error: %s is not a valid entry number.\n", std::string(argument).c_str());
    return std::nullopt;
  }
  if (!number.valid()) {
    std::printf("Error: %i is not a valid entry number.\n", number.as_read);
    return std::nullopt;
  }
  return number.slot();
}

bool RunRead(const Options& options, const std::string& save_path) {
  const std::optional<std::string> text_path = TextFileNameFor(save_path, options.into_directories);
  if (!text_path) return false;
  if (options.into_directories) MakeDirectory("txt");
  OutputFile text_file(*text_path);
  if (!CreatedOrReported(text_file)) return false;
  ProcessSaveData(PassDirection::kDecode, TheSaveImage());
  return WriteTextFile(text_file, options.aligned_text);
}

// After a mode wrote a new save: without "-p" it takes the place of the save
// file in one step, so a complete save is on disk at every moment. True when
// the new save is where it belongs.
bool MoveNewSaveOntoSave(const std::optional<std::string>& new_save, const Options& options,
                         const std::string& save_path) {
  if (!new_save) return false;
  if (options.into_directories) return true;
  if (MoveFileOnto(*new_save, save_path)) return true;
  std::printf("Error: Couldn't move %s onto %s\n", new_save->c_str(), save_path.c_str());
  return false;
}

int RunWrite(const Options& options, const std::string& save_path) {
  const std::optional<std::string> text_path =
      FitPath(kFormedPathCapacity, {options.positional[1]});
  if (!text_path) return kProblemReported;
  File text_file = File::Open(*text_path, "rb");
  if (!text_file) {
    std::printf("Error: Couldn't open file %s for reading\n", text_path->c_str());
    return kProblemReported;
  }
  // Values of a text that could not be read to its end are not written: the
  // lines lost might have changed them.
  const ImportedText imported = ReadTextFile(text_file, *text_path);
  if (imported.read_failed) return kProblemReported;
  DropUnchangedValues(TheSaveImage(), imported);
  ProcessSaveData(PassDirection::kEncode, TheSaveImage());
  const bool saved = MoveNewSaveOntoSave(
      WriteNewSave(TheSaveImage(), save_path, options.into_directories), options, save_path);
  return StatusOf(saved && !imported.problem_reported);
}

int RunSlotMode(const Options& options, const std::string& save_path) {
  const std::optional<int> slot = SelectedSlot(options.positional[1]);
  if (!slot) return kProblemReported;
  SaveImage& image = TheSaveImage();
  if (options.mode == RunMode::kExtract) {
    return StatusOf(ExtractEntry(image, *slot, options.into_directories));
  }
  if (options.mode == RunMode::kExtractThumbnail) {
    return StatusOf(ExtractThumbnail(image, *slot, options.into_directories));
  }
  const std::optional<std::string> input_path =
      FitPath(kFormedPathCapacity, {options.positional[2]});
  if (!input_path) return kProblemReported;
  const std::optional<std::string> new_save =
      options.mode == RunMode::kReplace
          ? ReplaceEntry(image, *slot, *input_path, save_path, options.into_directories)
          : ReplaceThumbnail(image, *slot, *input_path, save_path, options.into_directories);
  return StatusOf(MoveNewSaveOntoSave(new_save, options, save_path));
}

// Loads the second save beside the first and prints what differs. Fails
// too when standard output could not take all of it.
int RunCompare(const Options& options) {
  SaveImage other;
  if (!LoadEditionFiveSave(options.positional[1], other, nullptr)) return kCompareTrouble;
  const bool differ =
      CompareSaves(TheSaveImage(), other, options.aligned_text,
                   [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); });
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) return kCompareTrouble;
  return differ ? kSavesDiffer : kSavesAlike;
}

int RunSelectedMode(const Options& options, const std::string& save_path) {
  ClearTables();
  BuildFieldCatalogue();
  if (static_cast<int>(options.positional.size()) < PositionalArgumentsNeeded(options.mode)) {
    PrintUsage();
    // For the compare mode too: a save it was not given is one it cannot compare.
    return kArgumentsMissing;
  }
  switch (options.mode) {
    case RunMode::kRead:
      return StatusOf(RunRead(options, save_path));
    case RunMode::kWrite:
      return RunWrite(options, save_path);
    case RunMode::kCompare:
      return RunCompare(options);
    default:
      return RunSlotMode(options, save_path);
  }
}

}  // namespace

int Run(int argc, const char* const argv[]) {
  const Options options = ParseOptions(argc, argv);
  if (options.positional.empty()) {
    PrintUsage();
    return kDone;
  }
  // Held until the run ends, after the new save took the save's place.
  platform::SaveLock lock;
  const std::optional<std::string> save_path = LoadEditionFiveSave(
      options.positional[0], TheSaveImage(), ReplacesSave(options) ? &lock : nullptr);
  const int not_loaded = options.mode == RunMode::kCompare ? kCompareTrouble : kProblemReported;
  const int status = save_path ? RunSelectedMode(options, *save_path) : not_loaded;
  FreeSaveData();
  return status;
}

}  // namespace kv5

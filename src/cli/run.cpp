#include "cli/run.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/entry_number.h"
#include "cli/options.h"
#include "cli/output_files.h"
#include "cli/usage.h"
#include "save/file.h"
#include "save/new_save.h"
#include "save/path.h"
#include "session/session.h"

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

ConstByteSpan SaveBytes(const Session& session) {
  return ConstByteSpan(session.data(), session.size());
}

// The save a run works on, under the path it was given.
struct LoadedSave {
  std::string path;
  std::unique_ptr<Session> session;
};

// Opens and loads the save `argument` names; with a `lock`, takes the save's
// lock first. Reports every failure, and prints the usage text when it is
// not an edition 5 save.
std::optional<LoadedSave> LoadEditionFiveSave(std::string_view argument, Reporter& out,
                                              platform::SaveLock* lock) {
  std::optional<std::string> save_path = FitPath(kSavePathCapacity, {argument}, out);
  if (!save_path) return std::nullopt;
  if (lock != nullptr) *lock = platform::SaveLock(*save_path);
  Opened opened = Session::OpenFile(*save_path);
  out.Write(opened.messages);
  if (opened.status == Opened::Status::kNotEditionFive) PrintUsage(out);
  if (!opened.session) return std::nullopt;
  return LoadedSave{std::move(*save_path), std::move(opened.session)};
}

// The entry number argument as a slot number, or nothing after the message
// for an invalid one.
std::optional<int> SelectedSlot(std::string_view argument, Reporter& out) {
  const EntryNumber number = ReadEntryNumberArgument(argument);
  if (!number.plain) {
    out.Say("Error: %s is not a valid entry number.\n", std::string(argument).c_str());
    return std::nullopt;
  }
  if (!number.valid()) {
    out.Say("Error: %i is not a valid entry number.\n", number.as_read);
    return std::nullopt;
  }
  return number.as_read;
}

bool RunRead(const Options& options, LoadedSave& save, Reporter& out) {
  const std::optional<std::string> text_path =
      TextFileNameFor(save.path, options.into_directories, out);
  if (!text_path) return false;
  if (options.into_directories) MakeDirectory("txt");
  OutputFile text_file(*text_path);
  if (!CreatedOrReported(text_file, out)) return false;
  return WriteTextFile(text_file, *save.session, options.aligned_text, out);
}

int RunWrite(const Options& options, LoadedSave& save, Reporter& out) {
  const std::optional<std::string> text_path =
      FitPath(kFormedPathCapacity, {options.positional[1]}, out);
  if (!text_path) return kProblemReported;
  const Changed applied = save.session->ApplyTextFile(*text_path);
  out.Write(applied.messages);
  if (!applied.written) return kProblemReported;
  const bool saved = MoveNewSaveOntoSave(
      WriteNewSave(SaveBytes(*save.session), save.path, options.into_directories, out),
      options.into_directories, save.path, out);
  return StatusOf(saved && applied.ok);
}

int RunExtract(const Options& options, const Session& session, int slot, Reporter& out) {
  const bool entry = options.mode == RunMode::kExtract;
  const Extracted extracted = entry ? session.ExtractEntry(slot) : session.ExtractThumbnail(slot);
  out.Write(extracted.messages);
  if (!extracted.ok) return kProblemReported;
  const std::optional<std::string> name =
      entry
          ? WriteExtractedFile(extracted.bytes, "entries", "entry" + std::to_string(slot) + ".bin",
                               options.into_directories, out)
          : WriteExtractedFile(extracted.bytes, "thumbnails",
                               "image" + std::to_string(slot) + ".ptc", options.into_directories,
                               out);
  if (!name) return kProblemReported;
  if (entry) {
    out.Say("Saved entry #%i to %s.\n", slot, name->c_str());
  } else {
    out.Say("Saved thumbnail to %s.\n", name->c_str());
  }
  return kDone;
}

int RunReplace(const Options& options, LoadedSave& save, int slot, Reporter& out) {
  const std::optional<std::string> input_path =
      FitPath(kFormedPathCapacity, {options.positional[2]}, out);
  if (!input_path) return kProblemReported;
  const bool entry = options.mode == RunMode::kReplace;
  const Changed replaced = entry ? save.session->ReplaceEntryFromFile(slot, *input_path)
                                 : save.session->ReplaceThumbnailFromFile(slot, *input_path);
  out.Write(replaced.messages);
  if (!replaced.written) return kProblemReported;
  const std::optional<std::string> new_save =
      WriteSaveFile(SaveBytes(*save.session), save.path, options.into_directories, out);
  if (new_save) {
    if (entry) {
      out.Say("Replaced entry #%i with %s.\n", slot, input_path->c_str());
    } else {
      out.Say("Replaced entry #%i's thumbnail with %s.\n", slot, input_path->c_str());
    }
    out.Say("Wrote new savedata file.\n");
  }
  return StatusOf(MoveNewSaveOntoSave(new_save, options.into_directories, save.path, out));
}

int RunSlotMode(const Options& options, LoadedSave& save, Reporter& out) {
  const std::optional<int> slot = SelectedSlot(options.positional[1], out);
  if (!slot) return kProblemReported;
  if (options.mode == RunMode::kExtract || options.mode == RunMode::kExtractThumbnail) {
    return RunExtract(options, *save.session, *slot, out);
  }
  return RunReplace(options, save, *slot, out);
}

// Loads the second save beside the first and prints what differs. Fails
// too when the output could not take all of it.
int RunCompare(const Options& options, const Session& first, Reporter& out) {
  const std::optional<LoadedSave> second = LoadEditionFiveSave(options.positional[1], out, nullptr);
  if (!second) return kCompareTrouble;
  const Comparison comparison = first.Compare(*second->session, options.aligned_text);
  for (const SlotDifference& difference : comparison.slots) out.Write(difference.text);
  out.Write(comparison.closing);
  if (!out.Flush()) return kCompareTrouble;
  return comparison.differ ? kSavesDiffer : kSavesAlike;
}

int RunSelectedMode(const Options& options, LoadedSave& save, Reporter& out) {
  if (static_cast<int>(options.positional.size()) < PositionalArgumentsNeeded(options.mode)) {
    PrintUsage(out);
    // For the compare mode too: a save it was not given is one it cannot compare.
    return kArgumentsMissing;
  }
  switch (options.mode) {
    case RunMode::kRead:
      return StatusOf(RunRead(options, save, out));
    case RunMode::kWrite:
      return RunWrite(options, save, out);
    case RunMode::kCompare:
      return RunCompare(options, *save.session, out);
    default:
      return RunSlotMode(options, save, out);
  }
}

}  // namespace

int Run(int argc, const char* const argv[], Reporter& out) {
  const Options options = ParseOptions(argc, argv);
  if (options.positional.empty()) {
    PrintUsage(out);
    return kDone;
  }
  // Held until the run ends, after the new save took the save's place.
  platform::SaveLock lock;
  std::optional<LoadedSave> save =
      LoadEditionFiveSave(options.positional[0], out, ReplacesSave(options) ? &lock : nullptr);
  if (!save) return options.mode == RunMode::kCompare ? kCompareTrouble : kProblemReported;
  return RunSelectedMode(options, *save, out);
}

}  // namespace kv5

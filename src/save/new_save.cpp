#include "save/new_save.h"

#include "save/file.h"
#include "save/path.h"

namespace kv5 {

std::optional<std::string> WriteSaveFile(ConstByteSpan save, const std::string& save_path,
                                         bool into_directory, Reporter& report) {
  const std::optional<std::string> name = NewSaveNameFor(save_path, into_directory, report);
  if (!name) return std::nullopt;
  // With "-p" the save itself stays as it was, so a save that already lies
  // in "save" cannot take its own new version.
  if (into_directory && IsSameFile(*name, save_path)) {
    report.Say("Error: %s is the save file itself. Leave out -p to change it.\n", name->c_str());
    return std::nullopt;
  }
  if (into_directory) MakeDirectory("save");

  // Beside the save the new file has a name of its own, written only by a
  // run that holds the save's lock; it takes the save's permissions along
  // with its place. A copy in "save" is replaced whole like any other file.
  OutputFile file(*name, into_directory ? OutputFile::Placement::kReplaceWhole
                                        : OutputFile::Placement::kInPlace);
  if (!CreatedOrReported(file, report)) return std::nullopt;
  if (!into_directory) file.CopyPermissionsFrom(save_path);
  file.Write(save.data(), save.size());
  if (!CommittedOrReported(file, OutputFile::Durability::kSyncToDisk, report)) return std::nullopt;
  return name;
}

std::optional<std::string> WriteNewSave(ConstByteSpan save, const std::string& save_path,
                                        bool into_directory, Reporter& report) {
  std::optional<std::string> name = WriteSaveFile(save, save_path, into_directory, report);
  if (name) report.Say("Wrote new save file.\n");
  return name;
}

}  // namespace kv5

#include "save/new_save.h"

#include <cstdio>

#include "save/file.h"
#include "save/path.h"

namespace kv5 {

std::optional<std::string> WriteSaveFile(const SaveImage& image, const std::string& save_path,
                                         bool into_directory) {
  const std::optional<std::string> name = NewSaveNameFor(save_path, into_directory);
  if (!name) return std::nullopt;
  // With "-p" the save itself stays as it was, so a save that already lies
  // in "save" cannot take its own new version.
  if (into_directory && IsSameFile(*name, save_path)) {
    std::printf("Error: %s is the save file itself. Leave out -p to change it.\n", name->c_str());
    return std::nullopt;
  }
  if (into_directory) MakeDirectory("save");

  // Beside the save the new file has a name of its own, written only by a
  // run that holds the save's lock; it takes the save's permissions along
  // with its place. A copy in "save" is replaced whole like any other file.
  OutputFile file(*name, into_directory ? OutputFile::Placement::kReplaceWhole
                                        : OutputFile::Placement::kInPlace);
  if (!CreatedOrReported(file)) return std::nullopt;
  if (!into_directory) file.CopyPermissionsFrom(save_path);
  file.Write(image.view().data(), image.view().size());
  if (!CommittedOrReported(file, OutputFile::Durability::kSyncToDisk)) return std::nullopt;
  return name;
}

std::optional<std::string> WriteNewSave(const SaveImage& image, const std::string& save_path,
                                        bool into_directory) {
  std::optional<std::string> name = WriteSaveFile(image, save_path, into_directory);
  if (name) std::printf("Wrote new save file.\n");
  return name;
}

}  // namespace kv5

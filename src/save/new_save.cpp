#include "save/new_save.h"

#include <cstdio>

#include "save/file.h"
#include "save/path.h"

namespace kv5 {

std::optional<std::string> WriteSaveFile(const SaveImage& image, const std::string& save_path,
                                         bool into_directory) {
  const std::optional<std::string> name =
      into_directory ? FitPath(kFormedPathCapacity,
                               {"save", std::string_view(&kDirectorySeparator, 1), save_path})
                     : FitPath(kFormedPathCapacity, {save_path, ".new"});
  if (!name) return std::nullopt;
  if (into_directory) MakeDirectory("save");

  OutputFile file(*name);
  if (!file.is_open()) {
    std::printf("Error: Couldn't open file %s for writing\n", name->c_str());
    return std::nullopt;
  }
  file.Write(image.bytes.data(), image.bytes.size());
  if (!file.Commit(OutputFile::Durability::kSyncToDisk)) {
    std::printf("Error: Couldn't write file %s\n", name->c_str());
    return std::nullopt;
  }
  return name;
}

std::optional<std::string> WriteNewSave(const SaveImage& image, const std::string& save_path,
                                        bool into_directory) {
  std::optional<std::string> name = WriteSaveFile(image, save_path, into_directory);
  if (name) std::printf("Wrote new save file.\n");
  return name;
}

}  // namespace kv5

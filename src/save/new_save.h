#pragma once

#include <optional>
#include <string>

#include "save/save_image.h"

namespace kv5 {

// Writes the whole image as the new save file: "<save path>.new" beside the
// save, or "save/<save path>" inside the directory "save" when
// `into_directory` is set. The data is on the disk before this returns.
// Returns the new file's name, or nothing after printing why no new save
// exists.
std::optional<std::string> WriteSaveFile(const SaveImage& image, const std::string& save_path,
                                         bool into_directory);

// WriteSaveFile for the write mode, which reports "Wrote new save file.".
std::optional<std::string> WriteNewSave(const SaveImage& image, const std::string& save_path,
                                        bool into_directory);

}  // namespace kv5

#pragma once

#include <optional>
#include <string>

#include "save/reporter.h"
#include "save/span.h"

namespace kv5 {

// Writes `save`, the whole image, as the new save file: "<save path>.new" beside the
// save, or "save/<save path>" inside the directory "save" when
// `into_directory` is set. The data is on the disk before this returns.
// Returns the new file's name, or nothing after reporting why no new save
// exists.
std::optional<std::string> WriteSaveFile(ConstByteSpan save, const std::string& save_path,
                                         bool into_directory, Reporter& report);

// WriteSaveFile for the write mode, which reports "Wrote new save file.".
std::optional<std::string> WriteNewSave(ConstByteSpan save, const std::string& save_path,
                                        bool into_directory, Reporter& report);

}  // namespace kv5

#pragma once

#include <string>

#include "save/file.h"

namespace kv5 {

// Reads the text file and puts every value it gives into the value store,
// marking the fields and entries it touched. Sections name entries with
// "[ENTRY<n>]" or a range "[ENTRY<n>to<m>]"; sections of replay entries are
// skipped. Reports each line it cannot use and goes on; an invalid section
// header ends the reading, and what was read before it stays in the store.
void ReadTextFile(File& text_file, const std::string& text_path);

}  // namespace kv5

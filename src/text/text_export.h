#pragma once

#include "save/file.h"

namespace kv5 {

// Writes every decoded entry of the value store into the text file: one
// "[ENTRY<n>]" section per entry in slot order, one "name=value" line per
// field in id order with its annotation, "#REPLAY" where the replay slots
// begin. `aligned_text` puts every "=" in column 41. Reports "Wrote <name>."
// once the file is complete on disk; a file that could not be written is
// removed and reported instead.
void WriteTextFile(OutputFile& text_file, bool aligned_text);

// Whether a text value reads back from its line as itself. One that does not
// (a separator inside it, trailing spaces, or a section header within the
// line) would change the save if the file were written back unchanged.
bool TextValueReadsBack(int field, std::string_view text);

}  // namespace kv5

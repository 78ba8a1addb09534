#pragma once

#include <optional>
#include <string>

#include "save/file.h"
#include "save/reporter.h"
#include "session/session.h"

namespace kv5 {

// The program's part of each mode: the files it writes from what a session
// gives, and the lines that report them.

// Writes the session's text into `text_file`, reporting the export's
// messages, then "Wrote <name>." once the file is complete on disk; a file
// that could not be written is removed and reported instead.
bool WriteTextFile(OutputFile& text_file, Session& session, bool aligned_text, Reporter& out);

// Writes an extracted entry or thumbnail as `file_name`, inside `directory`
// with "-p". Returns the name written, or nothing after the message; a file
// of that name from before stays as it was unless the new one is complete.
std::optional<std::string> WriteExtractedFile(const Bytes& bytes, const std::string& directory,
                                              const std::string& file_name, bool into_directory,
                                              Reporter& out);

// After a mode wrote a new save: without "-p" it takes the place of the save
// file in one step, so a complete save is on disk at every moment. True when
// the new save is where it belongs.
bool MoveNewSaveOntoSave(const std::optional<std::string>& new_save, bool into_directory,
                         const std::string& save_path, Reporter& out);

}  // namespace kv5

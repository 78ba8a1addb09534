#pragma once

#include <array>
#include <bitset>
#include <string>

#include "catalogue/catalogue.h"
#include "save/reporter.h"
#include "text/line_reader.h"
#include "values/value_store.h"

namespace kv5 {

// What a text file said beyond the values it put into the value store.
struct ImportedText {
  // By entry and field: the line that set the float typed it exactly as the
  // export writes that value ("1.000000", not "1.0" or "1"). Only such a
  // line can say the same as the export of the loaded save.
  std::array<std::bitset<kFieldCount>, kStoreEntryCount> float_typed_as_exported{};
  // The file could not be read to its end: its values must not be written.
  bool read_failed = false;
  // A message other than "Text file loaded." was reported.
  bool problem_reported = false;
};

// Reads the text's lines and puts every value they give into `store`,
// marking the fields and entries it touched. Sections name entries with
// "[ENTRY<n>]" or a range "[ENTRY<n>to<m>]"; sections of replay entries are
// skipped. Reports each line it cannot use and goes on; an invalid section
// header ends the reading, and what was read before it stays in the store.
// `text_path` names the text in the message of a text that cannot be read.
ImportedText ReadTextFile(LineSource& lines, const std::string& text_path, ValueStore& store,
                          Reporter& report);

}  // namespace kv5

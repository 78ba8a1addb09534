#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "values/value_store.h"

namespace kv5 {

// Receives a text in pieces of whole lines.
using TextSink = std::function<void(std::string_view)>;

// The text of every decoded entry of the value store: one "[ENTRY<n>]"
// section per entry in slot order, one "name=value" line per field in id
// order with its annotation, "#REPLAY" where the replay slots begin.
// `aligned_text` puts every "=" in column 41. The text goes to `write` in
// pieces of some 64 KiB, whole sections each.
void ExportText(const ValueStore& store, bool aligned_text, const TextSink& write);

// The longest value text: a byte array of 100 bytes, two digits each and a
// space between them.
constexpr std::size_t kLongestValueText = 3 * kByteArrayCapacity - 1;

// A field's value as the export writes it after the "=", without its note:
// the one definition of "the same text" wherever the tool compares what a
// line says with what the save holds.
class ExportedValue {
 public:
  ExportedValue(int field, const ValueRecord& value);
  std::string_view text() const { return std::string_view(chars_.data(), size_); }

 private:
  std::array<char, kLongestValueText> chars_;
  std::size_t size_;
};

// Whether the export writes a line for the field holding `value`. It leaves
// out a name that would not read back as itself (a separator inside it,
// trailing spaces, or a section header within its line), since writing the
// file back unchanged would then change the save.
bool ExportWrites(int field, const ValueRecord& value);

// Appends what the export writes after the "=": the value and its note.
void AppendValueAndNote(std::string& out, int field, const ValueRecord& value);

// Appends the field's whole line as the export writes it: the name (padded
// to column 41 with `aligned_text`), "=", the value, its note and the line
// end, CR LF in the text file.
void AppendFieldLine(std::string& out, int field, const ValueRecord& value, bool aligned_text,
                     std::string_view line_end = "\r\n");

// The header line of the section of entry `number` ("[ENTRY<n>]", the
// entry as the player counts them, 1 for the first slot), and the line of field `name` that gives
// `value_text` as typed, as the export writes them: what a front end writes to change a field.
std::string SectionHeader(std::int64_t number);
std::string TypedFieldLine(std::string_view name, std::string_view value_text);

}  // namespace kv5

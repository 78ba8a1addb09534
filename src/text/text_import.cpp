#include "text/text_import.h"

#include <cinttypes>

#include "catalogue/catalogue.h"
#include "catalogue/hex.h"
#include "save/slots.h"
#include "text/line_reader.h"
#include "text/text_export.h"
#include "text/tokens.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

constexpr std::size_t kLongestName = 148;
constexpr std::size_t kLongestTextToken = 99;
constexpr std::size_t kFloatTripleHexDigits = 24;
constexpr std::int32_t kLastEntryIndex = kStoreEntryCount - 1;

// A value as one line gives it, in the member of its field's kind.
struct ParsedValue {
  std::string text;
  std::int32_t integer = 0;
  float number = 0;
  bool number_typed_as_exported = false;
  std::uint8_t byte = 0;
  std::array<std::uint8_t, kByteArrayCapacity> bytes{};
};

class TextReader {
 public:
  TextReader(ImportedText& imported, ValueStore& store, Reporter& report)
      : imported_(imported), store_(store), report_(report) {}
  void ReadSectionHeader(std::string_view line, int header_end);
  void ReadEnemyData(std::string_view line);

  bool in_section() const { return first_ != -1; }
  bool ended() const { return ended_; }
  void NextLine() { ++line_number_; }

 private:
  void ReadFloatTriple(int field, std::string_view value);
  void ReadByteArray(int field, std::string_view value);
  void ReadSingleToken(int field, FieldKind kind, std::string_view value);
  // Reports a text token too long for any value; true when it is one.
  bool TextTokenTooLong(std::string_view token, std::string_view value);
  // Stores the value into field `field` of every entry of the section.
  void EditValue(int field, int component, ParsedValue& parsed);

  ImportedText& imported_;
  ValueStore& store_;
  Reporter& report_;
  std::int32_t first_ = -1;  // entry indexes of the section; -1: no section
  std::int32_t last_ = -1;
  std::int64_t line_number_ = -1;  // the first line is line 0
  bool ended_ = false;
};

void TextReader::ReadSectionHeader(std::string_view line, int header_end) {
  first_ = ReadEntryNumber(line.substr(static_cast<std::size_t>(header_end)));
  // Replay entries are never written back: their sections are skipped.
  if (first_ >= kCustomSlotCount) {
    first_ = -1;
    return;
  }
  std::size_t to = line.find("to");
  if (to == std::string_view::npos) to = line.find("TO");
  last_ = to == std::string_view::npos ? first_ : ReadEntryNumber(line.substr(to + 2));
  if (first_ < 0) {
    report_.Say("Error: %i is not a valid entry number!\n", first_ + 1);
    ended_ = imported_.problem_reported = true;
  } else if (last_ < 0 || last_ > kLastEntryIndex) {
    report_.Say("Invalid entry number found at line %" PRId64 ".\n", line_number_);
    ended_ = imported_.problem_reported = true;
  }
}

void TextReader::ReadEnemyData(std::string_view line) {
  line = line.substr(0, line.find_first_of("\r\n"));
  if (line.empty() || line[0] == '#') return;

  const std::size_t equals = line.find('=');
  const std::string_view name_text = line.substr(0, equals);
  if (name_text.size() > kLongestName && line.size() > kLongestName + 1) {
    imported_.problem_reported = true;
    report_.Say(
        "Major error thing warning. Length of variable name exeeded during ReadEnemyData()\n");
    return;
  }
  const std::string_view value =
      equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
  const int field = FindField(WithoutTrailingSpaces(name_text));
  if (field < 0) {
    imported_.problem_reported = true;
    report_.Say("Invalid variable name found at line %" PRId64 ".\n", line_number_);
    return;
  }
  switch (const FieldKind kind = Field(field).kind) {
    case FieldKind::kFloatTriple:
      ReadFloatTriple(field, value);
      return;
    case FieldKind::kByteArray:
      ReadByteArray(field, value);
      return;
    case FieldKind::kNone:
      return;
    default:
      ReadSingleToken(field, kind, value);
      return;
  }
}

bool TextReader::TextTokenTooLong(std::string_view token, std::string_view value) {
  if (token.size() <= kLongestTextToken) return false;
  imported_.problem_reported = true;
  const std::string token_text(token);
  const std::string value_text(value);
  report_.Say("String length limit exceeded for %s during %s. Bad things will happen now.\n",
              token_text.c_str(), value_text.c_str());
  return true;
}

void TextReader::ReadSingleToken(int field, FieldKind kind, std::string_view value) {
  const bool text_kind = kind == FieldKind::kText;
  const std::optional<std::string_view> token = FindValueToken(value, 1, text_kind);
  // A line that gives no value changes nothing.
  if (!token) return;
  ParsedValue parsed;
  switch (kind) {
    case FieldKind::kText:
      if (TextTokenTooLong(*token, value)) return;
      parsed.text = std::string(*token);
      break;
    case FieldKind::kByte:
      parsed.byte = HexPairToByte(*token, 0);
      break;
    case FieldKind::kFloat: {
      ValueRecord record;
      record.floats[0] = parsed.number = ReadDecimalFloat(*token);
      parsed.number_typed_as_exported = *token == ExportedValue(field, record).text();
      break;
    }
    default:
      parsed.integer = ReadDecimalInteger(*token);
      break;
  }
  EditValue(field, 0, parsed);
}

void TextReader::ReadByteArray(int field, std::string_view value) {
  ParsedValue parsed;
  std::size_t position = 0;
  for (std::size_t k = 0; k < ByteArrayLength(Field(field).length); ++k) {
    while (position < value.size() && value[position] == ' ') ++position;
    if (position >= value.size()) {
      imported_.problem_reported = true;
      const std::string value_text(value);
      report_.Say("Error while reading a byte array value. Line is %s\n", value_text.c_str());
      return;
    }
    parsed.bytes[k] = HexPairToByte(value, position);
    position = std::min(position + 2, value.size());
  }
  EditValue(field, 0, parsed);
}

// Three floats, either as decimals ("1.5, 2") where a missing one repeats the
// one before, or as up to three groups of eight hexadecimal digits holding
// each float's bytes, least significant first.
void TextReader::ReadFloatTriple(int field, std::string_view value) {
  const std::optional<std::string_view> first_text = FindValueToken(value, 1, true);
  if (first_text && TextTokenTooLong(*first_text, value)) return;
  ParsedValue parsed;
  if (first_text && first_text->find('.') != std::string_view::npos) {
    for (int component = 0; component < 3; ++component) {
      if (const auto token = FindValueToken(value, component + 1, false)) {
        parsed.number = ReadDecimalFloat(*token);
      }
      EditValue(field, component, parsed);
    }
    return;
  }
  std::string group;
  std::size_t taken = 0;
  int component = 0;
  for (const char c : value) {
    if (taken == kFloatTripleHexDigits) break;
    if (c == ' ') continue;
    group += c;
    ++taken;
    if (group.size() == 8) {
      parsed.number = HexGroupToFloat(group);
      EditValue(field, component++, parsed);
      group.clear();
    }
  }
}

void TextReader::EditValue(int field, int component, ParsedValue& parsed) {
  const FieldDefinition& definition = Field(field);
  for (std::int32_t index = first_; index <= last_; ++index) {
    EntryValues& entry = store_.entries[static_cast<std::size_t>(index)];
    ValueRecord& record = entry.values[static_cast<std::size_t>(field)];
    switch (definition.kind) {
      case FieldKind::kText:
        if (parsed.text.size() >= kStoreTextCapacity) {
          imported_.problem_reported = true;
          report_.Say("Error: bufS is too long during EditValue(). bufS is %s\n",
                      parsed.text.c_str());
          return;
        }
        TrimTrailingSpaces(parsed.text);
        record.text.Assign(parsed.text);
        break;
      case FieldKind::kByte:
        record.byte_value = parsed.byte;
        break;
      case FieldKind::kInt16:
      case FieldKind::kInt32:
      case FieldKind::kInteger:
        record.integer_value = parsed.integer;
        break;
      case FieldKind::kFloat:
        record.floats[0] = parsed.number;
        imported_.float_typed_as_exported[static_cast<std::size_t>(index)].set(
            static_cast<std::size_t>(field), parsed.number_typed_as_exported);
        break;
      case FieldKind::kFloatTriple:
        record.floats[static_cast<std::size_t>(component)] = parsed.number;
        break;
      case FieldKind::kByteArray:
        record.bytes = parsed.bytes;
        break;
      case FieldKind::kNone:
        return;
    }
    entry.present[static_cast<std::size_t>(field)] = true;
    entry.touched = true;
  }
}

}  // namespace

ImportedText ReadTextFile(LineSource& lines, const std::string& text_path, ValueStore& store,
                          Reporter& report) {
  ImportedText imported;
  TextReader reader(imported, store, report);
  std::string_view line;
  while (lines.Next(line)) {
    reader.NextLine();
    const int header_end = FindEntryHeader(line);
    if (header_end >= 0) {
      reader.ReadSectionHeader(line, header_end);
      if (reader.ended()) return imported;
    } else if (reader.in_section()) {
      reader.ReadEnemyData(line);
    }
  }
  if (lines.failed()) {
    report.Say("Error: Couldn't read %s.\n", text_path.c_str());
    imported.read_failed = true;
    imported.problem_reported = true;
    return imported;
  }
  report.Say("Text file loaded.\n");
  return imported;
}

}  // namespace kv5

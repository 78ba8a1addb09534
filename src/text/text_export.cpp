#include "text/text_export.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "text/annotation.h"
#include "text/float_text.h"
#include "text/tokens.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

constexpr std::size_t kAlignedKeyWidth = 40;
constexpr std::size_t kFlushSize = 1 << 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";
// A float triple is three floats and two ", ".
static_assert(3 * kLongestFloatText + 4 <= kLongestValueText);

// The value writers put their characters at `out` and return the end. A
// field line is made in a local buffer first and appended in one piece:
// appending it character by character to the text was most of the export's
// time.
char* PutByte(char* out, std::uint8_t byte) {
  out[0] = kHexDigits[byte >> 4];
  out[1] = kHexDigits[byte & 0x0F];
  return out + 2;
}

char* PutText(char* out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

char* PutValue(char* out, const FieldDefinition& field, const ValueRecord& value) {
  switch (field.kind) {
    case FieldKind::kText:
      return PutText(out, value.text.view());
    case FieldKind::kByte:
      return PutByte(out, value.byte_value);
    case FieldKind::kInt16:
    case FieldKind::kInt32:
    case FieldKind::kInteger:
      return std::to_chars(out, out + kLongestValueText, value.integer_value).ptr;
    case FieldKind::kFloat:
      return PutFloatText(out, value.floats[0]);
    case FieldKind::kFloatTriple:
      out = PutText(PutFloatText(out, value.floats[0]), ", ");
      out = PutText(PutFloatText(out, value.floats[1]), ", ");
      return PutFloatText(out, value.floats[2]);
    case FieldKind::kByteArray:
      for (std::size_t k = 0; k < ByteArrayLength(field.length); ++k) {
        if (k > 0) *out++ = ' ';
        out = PutByte(out, value.bytes[k]);
      }
      return out;
    case FieldKind::kNone:
      return out;
  }
  return out;
}

// A name that would not read back as itself (a separator inside it, trailing
// spaces, or a section header within its line) would change the save if the
// file were written back unchanged, so the export leaves it out.
bool TextValueReadsBack(int field, std::string_view text) {
  if (text.find_first_of(",()") != std::string_view::npos) return false;
  if (text.size() > 1 && text.back() == ' ') return false;
  const std::string line = std::string(Field(field).name.view()) + "=" + std::string(text);
  return FindEntryHeader(line) < 0;
}

void AppendKey(std::string& out, std::string_view name, bool aligned_text) {
  out += name;
  if (aligned_text && name.size() < kAlignedKeyWidth) {
    out.append(kAlignedKeyWidth - name.size(), ' ');
  }
  out += '=';
}

void AppendSection(std::string& out, int slot, const EntryValues& entry, bool aligned_text) {
  out += SectionHeader(slot + 1);
  for (int id = 0; id < kFieldCount; ++id) {
    const ValueRecord& value = entry.values[static_cast<std::size_t>(id)];
    if (!entry.present[static_cast<std::size_t>(id)]) continue;
    if (!ExportWrites(id, value)) continue;
    AppendFieldLine(out, id, value, aligned_text);
  }
  out += "\r\n";
}

}  // namespace

ExportedValue::ExportedValue(int field, const ValueRecord& value)
    : size_(
          static_cast<std::size_t>(PutValue(chars_.data(), Field(field), value) - chars_.data())) {}

bool ExportWrites(int field, const ValueRecord& value) {
  return Field(field).kind != FieldKind::kText || TextValueReadsBack(field, value.text.view());
}

void AppendValueAndNote(std::string& out, int field, const ValueRecord& value) {
  out += ExportedValue(field, value).text();
  AppendAnnotation(out, field, value);
}

void AppendFieldLine(std::string& out, int field, const ValueRecord& value, bool aligned_text,
                     std::string_view line_end) {
  AppendKey(out, Field(field).name.view(), aligned_text);
  AppendValueAndNote(out, field, value);
  out += line_end;
}

std::string SectionHeader(std::int64_t number) {
  return "[ENTRY" + std::to_string(number) + "]\r\n";
}

std::string TypedFieldLine(std::string_view name, std::string_view value_text) {
  std::string line;
  AppendKey(line, name, false);
  line += value_text;
  return line + "\r\n";
}

void ExportText(const ValueStore& store, bool aligned_text, const TextSink& write) {
  std::string out;
  for (int slot = 0; slot < store.scanned_slot_count; ++slot) {
    if (slot == kCustomSlotCount) out += "#REPLAY\r\n";
    const EntryValues& entry = store.entries[static_cast<std::size_t>(slot)];
    if (!entry.touched) continue;
    AppendSection(out, slot, entry, aligned_text);
    if (out.size() >= kFlushSize) {
      write(out);
      out.clear();
    }
  }
  if (!out.empty()) write(out);
}

}  // namespace kv5

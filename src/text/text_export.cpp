#include "text/text_export.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "text/annotation.h"
#include "text/tokens.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

constexpr std::size_t kAlignedKeyWidth = 40;
constexpr std::size_t kFlushSize = 1 << 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendByte(std::string& out, std::uint8_t byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

void AppendFloat(std::string& out, float value) {
  // The longest float in "%f" form has 47 characters: sign, 39 digits, six
  // decimals and the point.
  char buffer[64];
  const int length = std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
  out.append(buffer, static_cast<std::size_t>(std::clamp(length, 0, int{sizeof buffer} - 1)));
}

void AppendValue(std::string& out, const FieldDefinition& field, const ValueRecord& value) {
  switch (field.kind) {
    case FieldKind::kText:
      out += value.text.view();
      return;
    case FieldKind::kByte:
      AppendByte(out, value.byte_value);
      return;
    case FieldKind::kInt16:
    case FieldKind::kInt32:
    case FieldKind::kInteger:
      out += std::to_string(value.integer_value);
      return;
    case FieldKind::kFloat:
      AppendFloat(out, value.floats[0]);
      return;
    case FieldKind::kFloatTriple:
      AppendFloat(out, value.floats[0]);
      out += ", ";
      AppendFloat(out, value.floats[1]);
      out += ", ";
      AppendFloat(out, value.floats[2]);
      return;
    case FieldKind::kByteArray:
      for (std::size_t k = 0; k < ByteArrayLength(field.length); ++k) {
        if (k > 0) out += ' ';
        AppendByte(out, value.bytes[k]);
      }
      return;
    case FieldKind::kNone:
      return;
  }
}

void AppendFieldLine(std::string& out, int id, const ValueRecord& value, bool aligned_text) {
  const FieldDefinition& field = Field(id);
  out += field.name.view();
  if (aligned_text && field.name.size() < kAlignedKeyWidth) {
    out.append(kAlignedKeyWidth - field.name.size(), ' ');
  }
  out += '=';
  AppendValue(out, field, value);
  out += Annotation(id, value);
  out += "\r\n";
}

void AppendSection(std::string& out, int slot, const EntryValues& entry, bool aligned_text) {
  out += "[ENTRY" + std::to_string(slot + 1) + "]\r\n";
  for (int id = 0; id < kFieldCount; ++id) {
    const ValueRecord& value = entry.values[static_cast<std::size_t>(id)];
    if (!entry.present[static_cast<std::size_t>(id)]) continue;
    if (Field(id).kind == FieldKind::kText && !TextValueReadsBack(id, value.text.view())) continue;
    AppendFieldLine(out, id, value, aligned_text);
  }
  out += "\r\n";
}

}  // namespace

bool TextValueReadsBack(int field, std::string_view text) {
  if (text.find_first_of(",()") != std::string_view::npos) return false;
  if (text.size() > 1 && text.back() == ' ') return false;
  const std::string line = std::string(Field(field).name.view()) + "=" + std::string(text);
  return FindEntryHeader(line) < 0;
}

void WriteTextFile(OutputFile& text_file, bool aligned_text) {
  const ValueStore& store = TheValueStore();
  std::string out;
  for (int slot = 0; slot < store.scanned_slot_count; ++slot) {
    if (slot == kCustomSlotCount) out += "#REPLAY\r\n";
    const EntryValues& entry = store.entries[static_cast<std::size_t>(slot)];
    if (!entry.touched) continue;
    AppendSection(out, slot, entry, aligned_text);
    if (out.size() >= kFlushSize) {
      text_file.Write(out);
      out.clear();
    }
  }
  text_file.Write(out);
  if (text_file.Commit(OutputFile::Durability::kBuffered)) {
    std::printf("Wrote %s.\n", text_file.path().c_str());
  } else {
    std::printf("Error: Couldn't write file %s\n", text_file.path().c_str());
  }
}

}  // namespace kv5

#include "text/annotation.h"

#include <algorithm>
#include <set>

#include "catalogue/catalogue.h"
#include "catalogue/code_tables.h"
#include "text/text_export.h"

namespace kv5 {
namespace {

// The equipment slots' codes; the table's few longer codes are picked by
// their first four bytes in such a field.
constexpr int kEquipmentCodeLength = 4;

struct ModelType {
  std::uint8_t high;
  std::uint8_t low;
  std::string_view note;
};

constexpr ModelType kModelTypes[] = {
    {0x00, 0x01, " (female KVC)"},
    {0x00, 0x00, " (male KVC)"},
    {0x02, 0x05, " (1P model)"},
    {0x03, 0x05, " (2P model)"},
};

std::string_view ModelTypeNote(const ValueRecord& value) {
  for (const ModelType& type : kModelTypes) {
    if (value.bytes[0] == type.high && value.bytes[1] == type.low) return type.note;
  }
  return "";
}

void AppendParenthesised(std::string& out, std::string_view name) {
  out += " (";
  out += name;
  out += ')';
}

void AppendEquipmentNote(std::string& out, int field, const ValueRecord& value) {
  const int index = CodeNames().FindEquipment(
      ConstByteSpan(value.bytes.data(), ByteArrayLength(Field(field).length)));
  if (index < 0 || index >= CodeNames().EquipmentCount()) return;
  const EquipmentRecord& item = CodeNames().EquipmentAt(index);
  out += " (";
  out += item.name.view();
  if (item.group >= 0 && item.group < kFieldCount) {
    out += ", ";
    out += Field(item.group).slot_label.view();
  }
  out += ')';
}

}  // namespace

CodeTable CodeTableOf(int field) {
  if (field == kModelTypeField) return CodeTable::kModelType;
  if (field == kVoiceField) return CodeTable::kVoiceSet;
  if (field == kFightingStyleField) return CodeTable::kFightingStyle;
  if (field >= kFirstEquipmentField && field <= kLastEquipmentField) return CodeTable::kEquipment;
  return CodeTable::kNone;
}

void AppendAnnotation(std::string& out, int field, const ValueRecord& value) {
  switch (CodeTableOf(field)) {
    case CodeTable::kModelType:
      out += ModelTypeNote(value);
      return;
    case CodeTable::kVoiceSet: {
      const int index = CodeNames().FindVoiceSet(value.byte_value);
      if (index >= 0 && index < CodeNames().VoiceSetCount())
        AppendParenthesised(out, CodeNames().VoiceSetAt(index).name.view());
      return;
    }
    case CodeTable::kFightingStyle: {
      const int index = CodeNames().FindStyle(value.byte_value);
      if (index >= 0) AppendParenthesised(out, CodeNames().ModelAt(index).name.view());
      return;
    }
    case CodeTable::kEquipment:
      AppendEquipmentNote(out, field, value);
      return;
    case CodeTable::kNone:
      return;
  }
}

std::vector<ValueRecord> AnnotatedValues(int field) {
  std::vector<ValueRecord> candidates;
  ValueRecord value;
  switch (CodeTableOf(field)) {
    case CodeTable::kModelType:
      for (const ModelType& type : kModelTypes) {
        value.bytes[0] = type.high;
        value.bytes[1] = type.low;
        candidates.push_back(value);
      }
      break;
    case CodeTable::kVoiceSet:
      for (int index = 0; index < CodeNames().VoiceSetCount(); ++index) {
        value.byte_value = CodeNames().VoiceSetAt(index).code;
        candidates.push_back(value);
      }
      break;
    case CodeTable::kFightingStyle:
      for (int index = 0; index < kModelCount; ++index) {
        value.byte_value = CodeNames().ModelAt(index).style_code;
        candidates.push_back(value);
      }
      break;
    case CodeTable::kEquipment:
      if (Field(field).length != kEquipmentCodeLength) break;
      for (int index = 0; index < CodeNames().EquipmentCount(); ++index) {
        const auto& code = CodeNames().EquipmentAt(index).code;
        std::copy(code.begin(), code.begin() + kEquipmentCodeLength, value.bytes.begin());
        candidates.push_back(value);
      }
      break;
    case CodeTable::kNone:
      break;
  }
  // A code listed twice is named by its first record only.
  std::vector<ValueRecord> values;
  std::set<std::string> seen;
  for (const ValueRecord& candidate : candidates) {
    std::string note;
    AppendAnnotation(note, field, candidate);
    const std::string text(ExportedValue(field, candidate).text());
    if (!note.empty() && seen.insert(text).second) values.push_back(candidate);
  }
  return values;
}

}  // namespace kv5

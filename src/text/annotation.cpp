#include "text/annotation.h"

#include "catalogue/catalogue.h"
#include "catalogue/code_tables.h"

namespace kv5 {
namespace {

constexpr int kModelTypeField = 3;
constexpr int kVoiceField = 6;
constexpr int kFightingStyleField = 11;
constexpr int kFirstEquipmentField = 15;
constexpr int kLastEquipmentField = 195;

std::string_view ModelTypeNote(const ValueRecord& value) {
  const int code = value.bytes[0] << 8 | value.bytes[1];
  switch (code) {
    case 0x0001:
      return " (female KVC)";
    case 0x0000:
      return " (male KVC)";
    case 0x0205:
      return " (1P model)";
    case 0x0305:
      return " (2P model)";
    default:
      return "";
  }
}

void AppendParenthesised(std::string& out, std::string_view name) {
  out += " (";
  out += name;
  out += ')';
}

void AppendEquipmentNote(std::string& out, int field, const ValueRecord& value) {
  const int index =
      FindEquipment(ConstByteSpan(value.bytes.data(), ByteArrayLength(Field(field).length)));
  if (index < 0 || index >= EquipmentCount()) return;
  const EquipmentRecord& item = EquipmentAt(index);
  out += " (";
  out += item.name.view();
  if (item.group >= 0 && item.group < kFieldCount) {
    out += ", ";
    out += Field(item.group).slot_label.view();
  }
  out += ')';
}

}  // namespace

void AppendAnnotation(std::string& out, int field, const ValueRecord& value) {
  if (field == kModelTypeField) {
    out += ModelTypeNote(value);
  } else if (field == kVoiceField) {
    const int index = FindVoiceSet(value.byte_value);
    if (index >= 0 && index < VoiceSetCount())
      AppendParenthesised(out, VoiceSetAt(index).name.view());
  } else if (field == kFightingStyleField) {
    const int index = FindStyle(value.byte_value);
    if (index >= 0) AppendParenthesised(out, ModelAt(index).name.view());
  } else if (field >= kFirstEquipmentField && field <= kLastEquipmentField) {
    AppendEquipmentNote(out, field, value);
  }
}

}  // namespace kv5

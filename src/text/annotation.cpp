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

std::string ModelTypeNote(const ValueRecord& value) {
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

std::string Parenthesised(std::string_view name) { return " (" + std::string(name) + ")"; }

std::string EquipmentNote(int field, const ValueRecord& value) {
  const int index =
      FindEquipment(ConstByteSpan(value.bytes.data(), ByteArrayLength(Field(field).length)));
  if (index < 0 || index >= EquipmentCount()) return "";
  const EquipmentRecord& item = EquipmentAt(index);
  std::string note = " (" + std::string(item.name.view());
  if (item.group >= 0 && item.group < kFieldCount) {
    note += ", " + std::string(Field(item.group).slot_label.view());
  }
  return note + ")";
}

}  // namespace

std::string Annotation(int field, const ValueRecord& value) {
  if (field == kModelTypeField) return ModelTypeNote(value);
  if (field == kVoiceField) {
    const int index = FindVoiceSet(value.byte_value);
    return index >= 0 && index < VoiceSetCount() ? Parenthesised(VoiceSetAt(index).name.view())
                                                 : "";
  }
  if (field == kFightingStyleField) {
    const int index = FindStyle(value.byte_value);
    return index >= 0 ? Parenthesised(ModelAt(index).name.view()) : "";
  }
  if (field >= kFirstEquipmentField && field <= kLastEquipmentField)
    return EquipmentNote(field, value);
  return "";
}

}  // namespace kv5

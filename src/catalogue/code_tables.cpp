#include "catalogue/code_tables.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/hex.h"

namespace kv5 {
namespace {

struct CodeNameTables {
  std::array<VoiceSet, kVoiceSetCapacity> voice_sets;
  int voice_set_count = 0;
  std::array<ModelRecord, kModelCount> models;
  std::array<EquipmentRecord, kEquipmentCapacity> equipment;
  int equipment_count = 0;
  std::int32_t current_group = kNoGroup;
};

CodeNameTables& Tables() {
  static CodeNameTables tables;
  return tables;
}

// The equipment record the next registration fills, or null when the table
// is full or the name does not fit.
EquipmentRecord* NextEquipmentRecord(std::string_view name) {
  CodeNameTables& tables = Tables();
  if (name.size() >= kNameCapacity) {
    std::printf("Too long name for generic equipment! %.*s\n", static_cast<int>(name.size()),
                name.data());
    return nullptr;
  }
  if (tables.equipment_count >= kEquipmentCapacity) return nullptr;
  return &tables.equipment[static_cast<std::size_t>(tables.equipment_count)];
}

void FinishEquipmentRecord(EquipmentRecord& record, std::string_view name) {
  CodeNameTables& tables = Tables();
  record.name.Assign(name);
  record.group = tables.current_group;
  ++tables.equipment_count;
}

}  // namespace

void ClearCodeNameTables() {
  CodeNameTables& tables = Tables();
  tables.voice_set_count = 0;
  tables.equipment_count = 0;
  tables.current_group = kNoGroup;
  for (EquipmentRecord& record : tables.equipment) {
    record.code.fill(0);
    record.name.Clear();
  }
  for (ModelRecord& record : tables.models) {
    record.character_code = 0;
    record.style_code = 0;
    record.name.Clear();
  }
  for (VoiceSet& record : tables.voice_sets) {
    record.code = 0xFF;
    record.name.Clear();
  }
}

void AddVoiceSet(std::uint8_t code, std::string_view name) {
  CodeNameTables& tables = Tables();
  if (tables.voice_set_count >= kVoiceSetCapacity) return;
  VoiceSet& record = tables.voice_sets[static_cast<std::size_t>(tables.voice_set_count)];
  record.code = code;
  record.name.Assign(name);
  if (++tables.voice_set_count == kVoiceSetCapacity) std::printf("Warning, max voice sets!");
}

void SetModel(int index, std::uint8_t character_code, std::uint8_t style_code,
              std::string_view name) {
  if (index < 0 || index >= kModelCount) return;
  ModelRecord& record = Tables().models[static_cast<std::size_t>(index)];
  record.character_code = character_code;
  record.style_code = style_code;
  record.name.Assign(name);
}

void SetEquipmentGroup(std::int32_t group) { Tables().current_group = group; }

void AddEquipment(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                  std::string_view name) {
  EquipmentRecord* record = NextEquipmentRecord(name);
  if (record == nullptr) return;
  std::fill(record->code.begin(), record->code.begin() + 9, std::uint8_t{0});
  record->code[0] = b0;
  record->code[1] = b1;
  record->code[2] = b2;
  record->code[3] = b3;
  FinishEquipmentRecord(*record, name);
}

void AddEquipmentHex(std::string_view code_text, std::string_view name) {
  EquipmentRecord* record = NextEquipmentRecord(name);
  if (record == nullptr) return;
  std::size_t position = 0;
  for (std::size_t k = 0; k < record->code.size(); ++k) {
    while (position < code_text.size() && code_text[position] == ' ') ++position;
    if (position + 1 >= code_text.size()) break;
    record->code[k] = HexPairToByte(code_text, position);
    position += 2;
  }
  FinishEquipmentRecord(*record, name);
}

int VoiceSetCount() { return Tables().voice_set_count; }
int EquipmentCount() { return Tables().equipment_count; }

const VoiceSet& VoiceSetAt(int index) {
  return Tables().voice_sets[static_cast<std::size_t>(index)];
}
const ModelRecord& ModelAt(int index) { return Tables().models[static_cast<std::size_t>(index)]; }
const EquipmentRecord& EquipmentAt(int index) {
  return Tables().equipment[static_cast<std::size_t>(index)];
}

int FindVoiceSet(std::uint8_t code) {
  const auto& records = Tables().voice_sets;
  for (int index = 0; index < kVoiceSetCapacity; ++index) {
    if (records[static_cast<std::size_t>(index)].code == code) return index;
  }
  return -1;
}

int FindStyle(std::uint8_t style_code) {
  const auto& records = Tables().models;
  for (int index = 0; index < kModelCount; ++index) {
    if (records[static_cast<std::size_t>(index)].style_code == style_code) return index;
  }
  return -1;
}

int FindEquipment(ConstByteSpan code) {
  if (code.empty() || code.size() > kEquipmentCodeCapacity) return -1;
  const auto& records = Tables().equipment;
  for (int index = 0; index < kEquipmentCapacity; ++index) {
    const auto& record_code = records[static_cast<std::size_t>(index)].code;
    if (std::equal(code.begin(), code.end(), record_code.begin())) return index;
  }
  return -1;
}

}  // namespace kv5

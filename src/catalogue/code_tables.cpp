#include "catalogue/code_tables.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/hex.h"

namespace kv5 {
namespace {

// The export looks up some 14,000 equipment codes in a full save, and most
// of them name nothing, so a walk over all 500 records for each was the
// export's largest cost. FindEquipment searches this index instead: every
// record by its first four code bytes, records with the same four bytes in
// index order. It is sorted again after the table changes.
constexpr std::size_t kIndexedBytes = 4;

struct EquipmentKey {
  std::uint32_t prefix;  // the first four code bytes, the first one highest
  std::int32_t index;
};

struct CodeNameTables {
  std::array<VoiceSet, kVoiceSetCapacity> voice_sets;
  int voice_set_count = 0;
  std::array<ModelRecord, kModelCount> models;
  std::array<EquipmentRecord, kEquipmentCapacity> equipment;
  int equipment_count = 0;
  std::int32_t current_group = kNoGroup;
  std::array<EquipmentKey, kEquipmentCapacity> equipment_index{};
  bool equipment_index_stale = true;
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
  tables.equipment_index_stale = true;
}

std::uint32_t Prefix(const std::uint8_t* code) {
  std::uint32_t prefix = 0;
  for (std::size_t i = 0; i < kIndexedBytes; ++i) prefix = prefix << 8 | code[i];
  return prefix;
}

const std::array<EquipmentKey, kEquipmentCapacity>& EquipmentIndex() {
  CodeNameTables& tables = Tables();
  auto& index = tables.equipment_index;
  if (tables.equipment_index_stale) {
    for (std::size_t i = 0; i < index.size(); ++i) {
      index[i] = {Prefix(tables.equipment[i].code.data()), static_cast<std::int32_t>(i)};
    }
    std::sort(index.begin(), index.end(), [](const EquipmentKey& a, const EquipmentKey& b) {
      return a.prefix != b.prefix ? a.prefix < b.prefix : a.index < b.index;
    });
    tables.equipment_index_stale = false;
  }
  return index;
}

}  // namespace

void ClearCodeNameTables() {
  CodeNameTables& tables = Tables();
  tables.voice_set_count = 0;
  tables.equipment_count = 0;
  tables.current_group = kNoGroup;
  tables.equipment_index_stale = true;
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
  const auto& index = EquipmentIndex();
  // The records whose first four code bytes agree with the code's first
  // four, or with all of a shorter code, lie together in the index.
  const std::size_t head = std::min(code.size(), kIndexedBytes);
  std::uint32_t low = 0;
  for (std::size_t i = 0; i < kIndexedBytes; ++i) low = low << 8 | (i < head ? code[i] : 0);
  const std::uint32_t high = low | static_cast<std::uint32_t>(0xFFFFFFFFull >> (8 * head));
  auto key = std::lower_bound(
      index.begin(), index.end(), low,
      [](const EquipmentKey& entry, std::uint32_t wanted) { return entry.prefix < wanted; });
  if (code.size() < kIndexedBytes) {
    // A short code matches every record of its range; the lowest index wins.
    int found = -1;
    for (; key != index.end() && key->prefix <= high; ++key) {
      if (found < 0 || key->index < found) found = key->index;
    }
    return found;
  }
  // One prefix, its records in index order: the first that matches the rest
  // of the code is the first in the table.
  for (; key != index.end() && key->prefix == low; ++key) {
    const auto& record_code = records[static_cast<std::size_t>(key->index)].code;
    if (std::equal(code.begin() + kIndexedBytes, code.end(), record_code.begin() + kIndexedBytes))
      return key->index;
  }
  return -1;
}

}  // namespace kv5

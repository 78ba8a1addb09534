#include "catalogue/code_tables.h"

#include <algorithm>

#include "catalogue/hex.h"

namespace kv5 {
namespace {

constexpr std::size_t kIndexedBytes = 4;

std::uint32_t Prefix(const std::uint8_t* code) {
  std::uint32_t prefix = 0;
  for (std::size_t i = 0; i < kIndexedBytes; ++i) prefix = prefix << 8 | code[i];
  return prefix;
}

}  // namespace

// The equipment record the next registration fills, or null when the table
// is full or the name does not fit.
EquipmentRecord* CodeNameTables::NextEquipmentRecord(std::string_view name, Reporter& report) {
  if (name.size() >= kNameCapacity) {
    report.Say("Too long name for generic equipment! %.*s\n", static_cast<int>(name.size()),
               name.data());
    return nullptr;
  }
  if (equipment_count_ >= kEquipmentCapacity) return nullptr;
  return &equipment_[static_cast<std::size_t>(equipment_count_)];
}

void CodeNameTables::FinishEquipmentRecord(EquipmentRecord& record, std::string_view name) {
  record.name.Assign(name);
  record.group = current_group_;
  ++equipment_count_;
  equipment_index_stale_ = true;
}

const CodeNameTables::EquipmentKeys& CodeNameTables::EquipmentIndex() const {
  if (equipment_index_stale_) {
    for (std::size_t i = 0; i < equipment_index_.size(); ++i) {
      equipment_index_[i] = {Prefix(equipment_[i].code.data()), static_cast<std::int32_t>(i)};
    }
    std::sort(equipment_index_.begin(), equipment_index_.end(),
              [](const EquipmentKey& a, const EquipmentKey& b) {
                return a.prefix != b.prefix ? a.prefix < b.prefix : a.index < b.index;
              });
    equipment_index_stale_ = false;
  }
  return equipment_index_;
}

void CodeNameTables::AddVoiceSet(std::uint8_t code, std::string_view name, Reporter& report) {
  if (voice_set_count_ >= kVoiceSetCapacity) return;
  VoiceSet& record = voice_sets_[static_cast<std::size_t>(voice_set_count_)];
  record.code = code;
  record.name.Assign(name);
  if (++voice_set_count_ == kVoiceSetCapacity) report.Say("Warning, max voice sets!");
}

void CodeNameTables::SetModel(int index, std::uint8_t character_code, std::uint8_t style_code,
                              std::string_view name) {
  if (index < 0 || index >= kModelCount) return;
  ModelRecord& record = models_[static_cast<std::size_t>(index)];
  record.character_code = character_code;
  record.style_code = style_code;
  record.name.Assign(name);
}

void CodeNameTables::AddEquipment(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                  std::uint8_t b3, std::string_view name, Reporter& report) {
  EquipmentRecord* record = NextEquipmentRecord(name, report);
  if (record == nullptr) return;
  std::fill(record->code.begin(), record->code.begin() + 9, std::uint8_t{0});
  record->code[0] = b0;
  record->code[1] = b1;
  record->code[2] = b2;
  record->code[3] = b3;
  FinishEquipmentRecord(*record, name);
}

void CodeNameTables::AddEquipmentHex(std::string_view code_text, std::string_view name,
                                     Reporter& report) {
  EquipmentRecord* record = NextEquipmentRecord(name, report);
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

const VoiceSet& CodeNameTables::VoiceSetAt(int index) const {
  return voice_sets_[static_cast<std::size_t>(index)];
}
const ModelRecord& CodeNameTables::ModelAt(int index) const {
  return models_[static_cast<std::size_t>(index)];
}
const EquipmentRecord& CodeNameTables::EquipmentAt(int index) const {
  return equipment_[static_cast<std::size_t>(index)];
}

int CodeNameTables::FindVoiceSet(std::uint8_t code) const {
  for (int index = 0; index < kVoiceSetCapacity; ++index) {
    if (voice_sets_[static_cast<std::size_t>(index)].code == code) return index;
  }
  return -1;
}

int CodeNameTables::FindStyle(std::uint8_t style_code) const {
  for (int index = 0; index < kModelCount; ++index) {
    if (models_[static_cast<std::size_t>(index)].style_code == style_code) return index;
  }
  return -1;
}

int CodeNameTables::FindEquipment(ConstByteSpan code) const {
  if (code.empty() || code.size() > kEquipmentCodeCapacity) return -1;
  const EquipmentKeys& index = EquipmentIndex();
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
    const auto& record_code = equipment_[static_cast<std::size_t>(key->index)].code;
    if (std::equal(code.begin() + kIndexedBytes, code.end(), record_code.begin() + kIndexedBytes))
      return key->index;
  }
  return -1;
}

}  // namespace kv5

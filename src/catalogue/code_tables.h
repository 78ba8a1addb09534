#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "catalogue/field.h"
#include "save/reporter.h"
#include "save/span.h"

namespace kv5 {

// Display names for the codes an entry holds: voice sets, fighting styles and
// equipment. The text export prints them beside the raw codes; nothing reads
// them back. Lookups walk each table's whole capacity in index order, records
// never registered included, and the first match wins.

constexpr int kVoiceSetCapacity = 100;
constexpr int kModelCount = 29;
constexpr int kEquipmentCapacity = 500;
constexpr std::size_t kEquipmentCodeCapacity = 100;
constexpr std::int32_t kNoGroup = -1;

struct VoiceSet {
  std::uint8_t code = 0xFF;  // FF: no voice set
  FixedText<kNameCapacity> name;
};

// A fighter and the fighting style the record names.
struct ModelRecord {
  std::uint8_t character_code = 0;
  std::uint8_t style_code = 0;
  FixedText<kNameCapacity> name;
};

struct EquipmentRecord {
  std::array<std::uint8_t, kEquipmentCodeCapacity> code{};  // bytes past the code's own are 0
  FixedText<kNameCapacity> name;
  // The field id whose slot label the export prints after the name, or
  // kNoGroup; 0 in a record never registered.
  std::int32_t group = 0;
};

// The three tables, filled by registrations in the order the build makes
// them. A table starts empty: an equipment record never registered has the
// group 0, a voice set record the code FF. A registration past a table's
// capacity is refused.
class CodeNameTables {
 public:
  // Registrations. The two warnings a registration can give are reported.
  void AddVoiceSet(std::uint8_t code, std::string_view name, Reporter& report);
  void SetModel(int index, std::uint8_t character_code, std::uint8_t style_code,
                std::string_view name);
  void SetEquipmentGroup(std::int32_t group) { current_group_ = group; }
  void AddEquipment(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                    std::string_view name, Reporter& report);
  // `code_text` is hexadecimal byte pairs; spaces before a pair are skipped
  // and a lone last digit is ignored: "1B 0C 00 00" and "1B0C0000" are the
  // same.
  void AddEquipmentHex(std::string_view code_text, std::string_view name, Reporter& report);

  int VoiceSetCount() const { return voice_set_count_; }
  int EquipmentCount() const { return equipment_count_; }
  const VoiceSet& VoiceSetAt(int index) const;
  const ModelRecord& ModelAt(int index) const;
  const EquipmentRecord& EquipmentAt(int index) const;

  // Record indexes, or -1 when no record matches.
  int FindVoiceSet(std::uint8_t code) const;
  int FindStyle(std::uint8_t style_code) const;
  // Compares the first `code.size()` bytes; an empty code matches nothing.
  int FindEquipment(ConstByteSpan code) const;

  // Sorts the equipment index now, so that no lookup changes the tables:
  // tables shared by many sessions are prepared once, when built.
  void Prepare() const { EquipmentIndex(); }

 private:
  // The export looks up some 14,000 equipment codes in a full save, and
  // most of them name nothing, so a walk over all 500 records for each was
  // the export's largest cost. FindEquipment searches this index instead:
  // every record by its first four code bytes, records with the same four
  // bytes in index order. It is sorted again after the table changes.
  struct EquipmentKey {
    std::uint32_t prefix;  // the first four code bytes, the first one highest
    std::int32_t index;
  };
  using EquipmentKeys = std::array<EquipmentKey, kEquipmentCapacity>;

  EquipmentRecord* NextEquipmentRecord(std::string_view name, Reporter& report);
  void FinishEquipmentRecord(EquipmentRecord& record, std::string_view name);
  const EquipmentKeys& EquipmentIndex() const;

  std::array<VoiceSet, kVoiceSetCapacity> voice_sets_;
  int voice_set_count_ = 0;
  std::array<ModelRecord, kModelCount> models_;
  std::array<EquipmentRecord, kEquipmentCapacity> equipment_;
  int equipment_count_ = 0;
  std::int32_t current_group_ = kNoGroup;
  mutable EquipmentKeys equipment_index_{};
  mutable bool equipment_index_stale_ = true;
};

}  // namespace kv5

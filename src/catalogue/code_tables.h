#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "catalogue/field.h"
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
  // kNoGroup. Clearing leaves it alone, so a record never registered has 0.
  std::int32_t group = 0;
};

// Empties the equipment, model and voice set tables, in that order, and
// starts the registrations over. An equipment record keeps its group, so a
// record that no registration filled has the group 0.
void ClearCodeNameTables();

// Registrations, in the order the build makes them. A registration past a
// table's capacity is refused.
void AddVoiceSet(std::uint8_t code, std::string_view name);
void SetModel(int index, std::uint8_t character_code, std::uint8_t style_code,
              std::string_view name);
void SetEquipmentGroup(std::int32_t group);
void AddEquipment(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                  std::string_view name);
// `code_text` is hexadecimal byte pairs; spaces before a pair are skipped and
// a lone last digit is ignored: "1B 0C 00 00" and "1B0C0000" are the same.
void AddEquipmentHex(std::string_view code_text, std::string_view name);

int VoiceSetCount();
int EquipmentCount();
const VoiceSet& VoiceSetAt(int index);
const ModelRecord& ModelAt(int index);
const EquipmentRecord& EquipmentAt(int index);

// Record indexes, or -1 when no record matches.
int FindVoiceSet(std::uint8_t code);
int FindStyle(std::uint8_t style_code);
// Compares the first `code.size()` bytes; an empty code matches nothing.
int FindEquipment(ConstByteSpan code);

}  // namespace kv5

#include "catalogue/code_names.h"

#include <cstdint>

#include "catalogue/catalogue.h"
#include "catalogue/code_tables.h"

namespace kv5 {
namespace {

// The fighters of the game and the fighting style each record names. A style
// code of FF: the fighter has no style of their own.
struct ModelRow {
  std::uint8_t character_code;
  std::uint8_t style_code;
  const char* name;
};

constexpr ModelRow kModels[kModelCount] = {
    {0x01, 0x00, "Mirela Voss: Harbour Boxing"},
    {0x04, 0x01, "Tomas Reyne: Longstep Karate"},
    {0x05, 0x02, "Ada Kestel: Quarry Wrestling"},
    {0x07, 0x03, "Bram Olufsen: Northwind Kickboxing"},
    {0x0B, 0x04, "Sela Marrow: Lantern Fist"},
    {0x10, 0xFF, "Dorian Pike: no style of his own"},
    {0x11, 0x06, "Hanne Brisk: Reed Throwing Art"},
    {0x12, 0x07, "Iker Falco: Ironroot Judo"},
    {0x14, 0x08, "Lio Tamsin: Cliffside Dance Fighting"},
    {0x15, 0x09, "Nadia Crane: Silver Fan Style"},
    {0x23, 0x0A, "Owen Talbot: Drifting Palm"},
    {0x28, 0x0B, "Pia Lund: Stonebridge Grappling"},
    {0x29, 0x0C, "Ruben Hale: Ember Fist"},
    {0x2F, 0x0D, "Saoirse Dunne: Willow Staff"},
    {0x31, 0x0E, "Vik Arden: Rail Yard Brawling"},
    {0x32, 0x0F, "Wren Castell: Tidemark Karate"},
    {0x33, 0x10, "Yusuf Barrow: Mountain Gate Boxing"},
    {0x34, 0x11, "Zora Fell: Glass Step"},
    {0x35, 0x12, "Anselm Grey: Lighthouse Grappling"},
    {0x36, 0x13, "Bettina Roe: Copper Crane"},
    {0x37, 0x14, "Caspar Wold: Millstone Wrestling"},
    {0x38, 0x15, "Delia Frost: Snowline Kicks"},
    {0x39, 0x16, "Emil Sorrel: Canal Street Boxing"},
    {0x3A, 0x17, "Fenna Holt: Twin Reed Blades"},
    {0x3B, 0x18, "Gideon Marsh: Barrow Fist"},
    {0x3C, 0xFF, "Hollis Quay: no style of his own"},
    {0x3D, 0xFF, "Ines Corvo: no style of her own"},
    {0xFF, 0x1E, "Guest fighter: Open Hand Mix"},
    {0x42, 0x1F, "Jory Penhal: Saltmarsh Karate"},
};

// Voice sets: each fighter's own voice, and two voices of no fighter.
struct VoiceSetRow {
  std::uint8_t code;
  const char* name;
};

constexpr VoiceSetRow kVoiceSets[] = {
    {0x01, "Mirela Voss"},  {0x04, "Tomas Reyne"},   {0x05, "Ada Kestel"},
    {0x07, "Bram Olufsen"}, {0x0B, "Sela Marrow"},   {0x10, "Dorian Pike"},
    {0x11, "Hanne Brisk"},  {0x12, "Iker Falco"},    {0x14, "Lio Tamsin"},
    {0x15, "Nadia Crane"},  {0x23, "Owen Talbot"},   {0x28, "Pia Lund"},
    {0x29, "Ruben Hale"},   {0x2F, "Saoirse Dunne"}, {0x31, "Vik Arden"},
    {0x32, "Wren Castell"}, {0x33, "Yusuf Barrow"},  {0x34, "Zora Fell"},
    {0x35, "Anselm Grey"},  {0x36, "Bettina Roe"},   {0x37, "Caspar Wold"},
    {0x38, "Delia Frost"},  {0x39, "Emil Sorrel"},   {0x3A, "Fenna Holt"},
    {0x3B, "Gideon Marsh"}, {0x3C, "Hollis Quay"},   {0x3D, "Ines Corvo"},
    {0x42, "Jory Penhal"},  {0x68, "Deep narrator"}, {0x69, "Bright narrator"},
};

// The equipment slot an item belongs to, as the field id of that slot in the
// first slot array: its label ("UG0" to "UG13") is printed after the name.
constexpr std::int32_t kUG0 = kFirstSlotField, kUG1 = kUG0 + 1, kUG2 = kUG0 + 2, kUG3 = kUG0 + 3,
                       kUG4 = kUG0 + 4, kUG5 = kUG0 + 5, kUG6 = kUG0 + 6, kUG7 = kUG0 + 7,
                       kUG8 = kUG0 + 8, kUG9 = kUG0 + 9, kUG10 = kUG0 + 10, kUG11 = kUG0 + 11,
                       kUG12 = kUG0 + 12, kUG13 = kUG0 + 13;

struct EquipmentRow {
  std::int32_t group;
  const char* code;
  const char* name;
};

constexpr EquipmentRow kEquipment[] = {
    // Whole bodies: each fighter's two outfits, then bodies of no fighter.
    {kNoGroup, "00 01 00 00", "Mirela Voss outfit 1"},
    {kNoGroup, "00 01 01 00", "Mirela Voss outfit 2"},
    {kNoGroup, "00 04 00 00", "Tomas Reyne outfit 1"},
    {kNoGroup, "00 04 01 00", "Tomas Reyne outfit 2"},
    {kNoGroup, "00 05 00 00", "Ada Kestel outfit 1"},
    {kNoGroup, "00 05 01 00", "Ada Kestel outfit 2"},
    {kNoGroup, "00 07 00 00", "Bram Olufsen outfit 1"},
    {kNoGroup, "00 07 01 00", "Bram Olufsen outfit 2"},
    {kNoGroup, "00 0B 00 00", "Sela Marrow outfit 1"},
    {kNoGroup, "00 0B 01 00", "Sela Marrow outfit 2"},
    {kNoGroup, "00 10 00 00", "Dorian Pike outfit 1"},
    {kNoGroup, "00 10 01 00", "Dorian Pike outfit 2"},
    {kNoGroup, "00 11 00 00", "Hanne Brisk outfit 1"},
    {kNoGroup, "00 11 01 00", "Hanne Brisk outfit 2"},
    {kNoGroup, "00 12 00 00", "Iker Falco outfit 1"},
    {kNoGroup, "00 12 01 00", "Iker Falco outfit 2"},
    {kNoGroup, "00 14 00 00", "Lio Tamsin outfit 1"},
    {kNoGroup, "00 14 01 00", "Lio Tamsin outfit 2"},
    {kNoGroup, "00 15 00 00", "Nadia Crane outfit 1"},
    {kNoGroup, "00 15 01 00", "Nadia Crane outfit 2"},
    {kNoGroup, "00 23 00 00", "Owen Talbot outfit 1"},
    {kNoGroup, "00 23 01 00", "Owen Talbot outfit 2"},
    {kNoGroup, "00 28 00 00", "Pia Lund outfit 1"},
    {kNoGroup, "00 28 01 00", "Pia Lund outfit 2"},
    {kNoGroup, "00 29 00 00", "Ruben Hale outfit 1"},
    {kNoGroup, "00 29 01 00", "Ruben Hale outfit 2"},
    {kNoGroup, "00 2F 00 00", "Saoirse Dunne outfit 1"},
    {kNoGroup, "00 2F 01 00", "Saoirse Dunne outfit 2"},
    {kNoGroup, "00 31 00 00", "Vik Arden outfit 1"},
    {kNoGroup, "00 31 01 00", "Vik Arden outfit 2"},
    {kNoGroup, "00 32 00 00", "Wren Castell outfit 1"},
    {kNoGroup, "00 32 01 00", "Wren Castell outfit 2"},
    {kNoGroup, "00 33 00 00", "Yusuf Barrow outfit 1"},
    {kNoGroup, "00 33 01 00", "Yusuf Barrow outfit 2"},
    {kNoGroup, "00 34 00 00", "Zora Fell outfit 1"},
    {kNoGroup, "00 34 01 00", "Zora Fell outfit 2"},
    {kNoGroup, "00 35 00 00", "Anselm Grey outfit 1"},
    {kNoGroup, "00 35 01 00", "Anselm Grey outfit 2"},
    {kNoGroup, "00 36 00 00", "Bettina Roe outfit 1"},
    {kNoGroup, "00 36 01 00", "Bettina Roe outfit 2"},
    {kNoGroup, "00 37 00 00", "Caspar Wold outfit 1"},
    {kNoGroup, "00 37 01 00", "Caspar Wold outfit 2"},
    {kNoGroup, "00 38 00 00", "Delia Frost outfit 1"},
    {kNoGroup, "00 38 01 00", "Delia Frost outfit 2"},
    {kNoGroup, "00 39 00 00", "Emil Sorrel outfit 1"},
    {kNoGroup, "00 39 01 00", "Emil Sorrel outfit 2"},
    {kNoGroup, "00 3A 00 00", "Fenna Holt outfit 1"},
    {kNoGroup, "00 3A 01 00", "Fenna Holt outfit 2"},
    {kNoGroup, "00 3B 00 00", "Gideon Marsh outfit 1"},
    {kNoGroup, "00 3B 01 00", "Gideon Marsh outfit 2"},
    {kNoGroup, "00 3C 00 00", "Hollis Quay outfit 1"},
    {kNoGroup, "00 3C 01 00", "Hollis Quay outfit 2"},
    {kNoGroup, "00 3D 00 00", "Ines Corvo outfit 1"},
    {kNoGroup, "00 3D 01 00", "Ines Corvo outfit 2"},
    {kNoGroup, "00 3F 00 00", "Training dummy"},
    {kNoGroup, "00 40 00 00", "Shadow double"},
    {kNoGroup, "00 42 00 00", "Jory Penhal outfit 1"},
    {kNoGroup, "00 42 01 00", "Jory Penhal outfit 2"},
    {kNoGroup, "00 82 00 00", "Sparring partner"},
    {kNoGroup, "00 83 00 00", "Mirror fighter"},
    {kNoGroup, "FF 00 00 FF", "Empty"},
    {kNoGroup, "FF 00 00 FF FF 00 00 00", "long code: Empty"},

    // Pieces for one body part each.
    {kUG0, "7F 06 2E 00", "Plain collar"},
    {kUG0, "16 00 00 00", "Bare"},
    {kUG0, "1B 0C 00 00", "Leather choker"},
    {kUG1, "16 00 00 01", "Bare"},
    {kUG1, "1B 17 00 00", "Linen shirt"},
    {kUG1, "1B 16 00 00", "Wool vest"},
    {kUG1, "1B 10 00 00", "Quilted jacket"},
    {kUG1, "1B 11 00 00", "Sleeveless top"},
    {kUG1, "1B 0F 00 00", "Mesh shirt"},
    {kUG1, "7F 09 10 00", "Training wrap"},
    {kUG1, "1B 03 00 01", "Field tunic"},
    {kUG1, "1B 02 00 01", "Sash top"},
    {kUG1, "1B 04 00 00", "Canvas coat"},
    {kUG1, "16 00 00 0E", "Bare back"},
    {kUG1, "1B 00 00 00", "Plain tee"},
    {kUG1, "1B 12 00 00", "Bodysuit"},
    {kUG1, "1B 0E 00 00", "Padded top"},
    {kUG1, "7F 06 2E 01", "Plain collar"},
    {kUG2, "7F 06 2E 02", "Plain collar"},
    {kUG2, "16 00 00 02", "Bare"},
    {kUG2, "7F 06 17 00", "Shoulder pads"},
    {kUG3, "16 00 00 03", "Bare"},
    {kUG4, "16 00 00 04", "Bare"},
    {kUG5, "16 00 00 05", "Bare"},
    {kUG5, "7F 06 19 00", "Fingerless gloves"},
    {kUG6, "1B 17 00 01", "Linen shirt"},
    {kUG6, "1B 16 00 01", "Wool vest"},
    {kUG6, "1B 10 00 01", "Quilted jacket"},
    {kUG6, "1B 11 00 01", "Sleeveless top"},
    {kUG6, "1B 0F 00 03", "Mesh shirt"},
    {kUG6, "7F 09 10 09", "Training wrap"},
    {kUG6, "1B 02 00 06", "Sash top"},
    {kUG6, "1B 04 00 04", "Canvas coat"},
    {kUG6, "16 00 00 06", "Bare"},
    {kUG6, "1B 00 00 01", "Plain tee"},
    {kUG6, "16 00 00 0F", "Bare back"},
    {kUG6, "1B 12 00 01", "Bodysuit"},
    {kUG6, "1B 0E 00 01", "Padded top"},
    {kUG6, "1B 03 00 06", "Field tunic"},
    {kUG6, "7F 06 2E 03", "Plain collar"},
    {kUG6, "1B 0B 00 00", "Wrap dress"},
    {kUG7, "1B 00 00 02", "Plain tee"},
    {kUG7, "1B 12 00 02", "Bodysuit"},
    {kUG7, "7F 06 2E 04", "Plain collar"},
    {kUG7, "16 00 00 07", "Bare"},
    {kUG7, "1B 0C 00 03", "Leather belt"},
    {kUG7, "1B 06 00 03", "Cloth sash"},
    {kUG7, "1B 0B 00 01", "Wrap dress"},
    {kUG8, "1B 12 00 03", "Bodysuit"},
    {kUG8, "1B 11 00 02", "Shorts"},
    {kUG8, "1B 0F 00 02", "Mesh leggings"},
    {kUG8, "1B 10 00 02", "Quilted trousers"},
    {kUG8, "7F 09 10 06", "Training wrap"},
    {kUG8, "16 00 00 08", "Bare"},
    {kUG8, "1B 1B 00 00", "Pleated skirt"},
    {kUG8, "1B 03 00 08", "Field trousers"},
    {kUG8, "7F 06 3D 00", "Loincloth"},
    {kUG8, "1B 02 00 08", "Sash skirt"},
    {kUG8, "1B 04 00 06", "Canvas trousers"},
    {kUG8, "1B 00 00 03", "Plain trousers"},
    {kUG8, "1B 0E 00 02", "Padded trousers"},
    {kUG8, "1B 0C 00 04", "Leather trousers"},
    {kUG8, "1B 1D 00 00", "Long skirt"},
    {kUG8, "1B 06 00 04", "Cloth trousers"},
    {kUG8, "1B 0B 00 02", "Wrap dress"},
    {kUG8, "1B 1F 00 00", "Riding breeches"},
    {kUG9, "16 00 00 09", "Bare"},
    {kUG9, "1B 12 00 04", "Bodysuit"},
    {kUG9, "1B 06 00 05", "Cloth trousers"},
    {kUG9, "1B 1F 00 01", "Riding breeches"},
    {kUG10, "16 00 00 0A", "Bare"},
    {kUG10, "1B 12 00 05", "Bodysuit"},
    {kUG10, "1B 06 00 06", "Cloth trousers"},
    {kUG10, "1B 1F 00 02", "Riding breeches"},
    {kUG11, "16 00 00 0B", "Bare"},
    {kUG11, "1B 12 00 06", "Bodysuit"},
    {kUG11, "1B 06 00 07", "Cloth trousers"},
    {kUG11, "1B 1F 00 03", "Riding breeches"},
    {kUG12, "16 00 00 0C", "Bare"},
    {kUG12, "1B 12 00 07", "Bodysuit"},
    {kUG12, "1B 06 00 08", "Cloth trousers"},
    {kUG12, "1B 1F 00 04", "Riding breeches"},
    {kUG13, "16 00 00 0D", "Bare"},

    // Eyewear, worn anywhere.
    {kNoGroup, "19 1C 00 00", "Round glasses"},
    {kNoGroup, "19 5E 00 00 1D 00 00 00", "Visor with strap"},

    // Nothing worn on the part.
    {kUG0, "02 00 00 00", "Nothing"},
    {kUG1, "02 00 00 01", "Nothing"},
    {kUG2, "02 00 00 02", "Nothing"},
    {kUG3, "02 00 00 03", "Nothing"},
    {kUG4, "02 00 00 04", "Nothing"},
    {kUG5, "02 00 00 05", "Nothing"},
    {kUG6, "02 00 00 06", "Nothing"},
    {kUG7, "02 00 00 07", "Nothing"},
    {kUG8, "02 00 00 08", "Nothing"},
    {kUG8, "02 07 00 08", "alternate: Nothing"},
    {kUG9, "02 00 00 09", "Nothing"},
    {kUG10, "02 00 00 0A", "Nothing"},
    {kUG11, "02 00 00 0B", "Nothing"},
    {kUG12, "02 00 00 0C", "Nothing"},
    {kUG13, "02 00 00 0D", "Nothing"},

    {kNoGroup, "05 1B 00 00", "Cloth mask"},
};

static_assert(sizeof kVoiceSets / sizeof kVoiceSets[0] == 30);
static_assert(sizeof kEquipment / sizeof kEquipment[0] == 163);

}  // namespace

void FillCodeNameTables(CodeNameTables& tables, Reporter& report) {
  for (int index = 0; index < kModelCount; ++index) {
    const ModelRow& row = kModels[index];
    tables.SetModel(index, row.character_code, row.style_code, row.name);
  }
  for (const VoiceSetRow& row : kVoiceSets) tables.AddVoiceSet(row.code, row.name, report);
  // The current group changes only between runs of items of one slot.
  std::int32_t group = kNoGroup;
  tables.SetEquipmentGroup(group);
  for (const EquipmentRow& row : kEquipment) {
    if (row.group != group) tables.SetEquipmentGroup(group = row.group);
    tables.AddEquipmentHex(row.code, row.name, report);
  }
}

}  // namespace kv5

#include "save_builder/demo_save.h"

#include <string_view>

#include "save_builder/save_builder.h"

namespace kv5::builder {
namespace {

// Where the demo's values lie inside an entry.
constexpr std::size_t kModelType = 10;
constexpr std::size_t kVoice = 14;
constexpr std::size_t kBodyScales = 104;  // sixteen floats, four bytes apart
constexpr std::size_t kSkinColour = 172;
constexpr std::size_t kHairColour = 252;
constexpr std::size_t kUpperBodyGear = 1140;
constexpr std::size_t kHipGear = 1196;
constexpr std::size_t kFightingStyle = 4197;
constexpr std::size_t kName = 13249;

struct DemoCharacter {
  int slot;
  std::string_view name;
  std::uint8_t model_low;  // 00 01 is a female, 00 00 a male body
  std::uint8_t voice;
  std::uint8_t style;
  float height;
};

constexpr DemoCharacter kCharacters[] = {
    {1, "Marta Quill", 0x01, 0x05, 0x02, 1.0f},
    {2, "Oskar Fenn", 0x00, 0x11, 0x06, 1.125f},
    {4, "Juno Pell", 0x01, 0x29, 0x0C, 0.9375f},
    {52, "Ravel", 0x00, 0x3B, 0x18, 1.0f},
};

}  // namespace

std::vector<std::uint8_t> BuildDemoSave() {
  SaveBuilder builder(2026);
  for (const DemoCharacter& character : kCharacters) {
    builder.WithBlankEntry(character.slot)
        .WithBytes(character.slot, kModelType, {0x00, character.model_low})
        .WithBytes(character.slot, kVoice, {character.voice, 0x40, 0x40})
        .WithBytes(character.slot, kFightingStyle, {character.style})
        .WithBytes(character.slot, kSkinColour, {0xE8, 0xC4, 0xA8, 0xFF, 0x00, 0x00, 0x00, 0x00})
        .WithBytes(character.slot, kHairColour, {0x3A, 0x2A, 0x1E, 0xFF, 0x00, 0x00, 0x00, 0x00})
        .WithBytes(character.slot, kUpperBodyGear, {0x1B, 0x17, 0x00, 0x00})
        .WithBytes(character.slot, kHipGear, {0x1B, 0x1F, 0x00, 0x00})
        .WithText(character.slot, kName, character.name)
        .WithThumbnail(character.slot);
    for (std::size_t scale = 0; scale < 16; ++scale) {
      builder.WithFloat(character.slot, kBodyScales + 4 * scale, 1.0f);
    }
    builder.WithFloat(character.slot, kBodyScales + 4 * 5, character.height);
  }
  return builder.Build();
}

}  // namespace kv5::builder

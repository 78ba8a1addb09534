#include "save_builder/save_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "catalogue/field_table.h"
#include "save/slots.h"

namespace kv5::builder {
namespace {

constexpr std::size_t kTitleWindowOffset = 5778;

// splitmix64: small, fast and the same on every platform.
std::uint64_t NextNoise(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// The title as the game stores it: UTF-16, low byte first, 27 bytes. The
// unknown title is one letter away from edition 5's.
std::vector<std::uint8_t> TitleBytes(Title title) {
  const std::string text = title == Title::kEditionFive   ? std::string("KESTRELVANE V\0", 14)
                           : title == Title::kEditionFour ? std::string("Kestrelvane IV")
                                                          : std::string("KESTRELVANE X\0", 14);
  std::vector<std::uint8_t> bytes;
  for (const char letter : text) {
    bytes.push_back(static_cast<std::uint8_t>(letter));
    bytes.push_back(0);
  }
  bytes.resize(27);
  return bytes;
}

}  // namespace

bool WriteSaveTo(const char* name, const std::vector<std::uint8_t>& save) {
  std::FILE* file = std::fopen(name, "wb");
  bool written = file != nullptr && std::fwrite(save.data(), 1, save.size(), file) == save.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) std::fprintf(stderr, "couldn't write %s\n", name);
  return written;
}

std::size_t SlotStart(int slot) { return static_cast<std::size_t>(kv5::SlotOffset(slot - 1)); }

SaveBuilder::SaveBuilder(std::uint64_t seed) : seed_(seed) {}

SaveBuilder& SaveBuilder::WithTitle(Title title) {
  title_ = title;
  return *this;
}

SaveBuilder& SaveBuilder::WithLength(std::size_t length) {
  length_ = length;
  return *this;
}

SaveBuilder& SaveBuilder::WithPatch(std::size_t offset, std::vector<std::uint8_t> bytes) {
  patches_.push_back({offset, std::move(bytes)});
  return *this;
}

SaveBuilder& SaveBuilder::WithEntry(int slot) {
  return WithPatch(SlotStart(slot), {kEntrySignature.begin(), kEntrySignature.end()});
}

SaveBuilder& SaveBuilder::WithBlankEntry(int slot) {
  std::vector<std::uint8_t> entry(static_cast<std::size_t>(kEntrySize), 0);
  std::copy(kEntrySignature.begin(), kEntrySignature.end(), entry.begin());
  return WithPatch(SlotStart(slot), std::move(entry));
}

SaveBuilder& SaveBuilder::WithBytes(int slot, std::size_t entry_offset,
                                    std::vector<std::uint8_t> bytes) {
  return WithPatch(SlotStart(slot) + entry_offset, std::move(bytes));
}

SaveBuilder& SaveBuilder::WithText(int slot, std::size_t entry_offset, std::string_view text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return WithBytes(slot, entry_offset, std::move(bytes));
}

SaveBuilder& SaveBuilder::WithFloat(int slot, std::size_t entry_offset, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return WithBytes(slot, entry_offset,
                   {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                    static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)});
}

SaveBuilder& SaveBuilder::WithExactValues(int slot) {
  WithEntry(slot);
  std::uint64_t state = seed_ * 1000 + static_cast<std::uint64_t>(slot);
  for (const FieldRow& field : kFieldTable) {
    const std::size_t offset = static_cast<std::size_t>(field.offset);
    const std::uint64_t noise = NextNoise(state);
    switch (field.kind) {
      case FieldKind::kText: {
        // No separator of the text form and no trailing space.
        constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz0123456789 .-'!?";
        std::string name(1 + noise % 19, 'K');
        for (std::size_t i = 1; i < name.size(); ++i)
          name[i] = kLetters[(noise >> (2 * i)) % kLetters.size()];
        if (name.back() == ' ') name.back() = 'z';
        WithText(slot, offset, name);
        break;
      }
      case FieldKind::kFloat:
        WithFloat(slot, offset,
                  static_cast<float>(static_cast<std::int32_t>(noise % 200001) - 100000) / 64.0f);
        break;
      case FieldKind::kByte:
      case FieldKind::kByteArray: {
        std::vector<std::uint8_t> bytes(
            field.kind == FieldKind::kByte ? 1 : static_cast<std::size_t>(field.length));
        for (std::size_t i = 0; i < bytes.size(); ++i)
          bytes[i] = static_cast<std::uint8_t>(noise >> (8 * i));
        WithBytes(slot, offset, std::move(bytes));
        break;
      }
      default:
        break;
    }
  }
  return *this;
}

std::vector<std::uint8_t> SaveBuilder::Build() const {
  std::vector<std::uint8_t> save(length_);
  std::uint64_t state = seed_;
  for (std::size_t i = 0; i < save.size(); i += 8) {
    const std::uint64_t noise = NextNoise(state);
    for (std::size_t k = 0; k < 8 && i + k < save.size(); ++k) {
      save[i + k] = static_cast<std::uint8_t>(noise >> (8 * k));
    }
  }
  std::vector<Patch> patches = {{kTitleWindowOffset, TitleBytes(title_)}};
  patches.insert(patches.end(), patches_.begin(), patches_.end());
  for (const Patch& patch : patches) {
    for (std::size_t k = 0; k < patch.bytes.size() && patch.offset + k < save.size(); ++k) {
      save[patch.offset + k] = patch.bytes[k];
    }
  }
  return save;
}

}  // namespace kv5::builder

#include "save_builder/save_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "catalogue/field_table.h"
#include "save/edition.h"
#include "save/slots.h"

namespace kv5::builder {
namespace {

// Characters of the names the builder makes: printable, and no separator of
// the text form.
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz0123456789 .-'!?";

// splitmix64: small, fast and the same on every platform.
std::uint64_t NextNoise(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// The title window as the game stores it. The unknown title is one letter
// away from edition 5's.
std::vector<std::uint8_t> TitleBytes(Title title) {
  const TitleWindow window = title == Title::kEditionFive   ? kEditionFiveWindow
                             : title == Title::kEditionFour ? kEditionFourWindow
                                                            : Utf16Window("KESTRELVANE X");
  return std::vector<std::uint8_t>(window.begin(), window.end());
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
  return WithFloatBits(slot, entry_offset, bits);
}

SaveBuilder& SaveBuilder::WithFloatBits(int slot, std::size_t entry_offset, std::uint32_t bits) {
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

namespace {

std::uint8_t Byte(std::uint64_t noise, int which) {
  return static_cast<std::uint8_t>(noise >> (8 * which));
}

std::uint32_t AwkwardFloatBits(std::uint64_t noise) {
  const auto mantissa = static_cast<std::uint32_t>(noise >> 8) & 0x7FFFFF;
  const std::uint32_t sign = (noise & 0x80) != 0 ? 0x80000000u : 0;
  switch (noise % 6) {
    case 0:  // any bits at all
      return static_cast<std::uint32_t>(noise >> 16);
    case 1:  // a NaN with a payload
      return sign | 0x7F800000u | (mantissa | 1);
    case 2:  // between 2^-10 and 2^10, rarely a whole number of millionths
      return sign | ((117u + static_cast<std::uint32_t>(noise >> 40) % 20) << 23) | mantissa;
    case 3:  // huge, or infinite
      return sign | (mantissa % 2 == 0 ? 0x7F800000u : (0x60000000u | mantissa));
    case 4:  // subnormal
      return sign | (mantissa >> (noise >> 40) % 24);
    default:  // minus zero
      return 0x80000000u;
  }
}

std::vector<std::uint8_t> AwkwardText(std::uint64_t noise) {
  constexpr std::uint8_t kClosers[] = {0xC3, 0x01, 0x7F, 0xFF, 0x1F, 0x80};
  std::vector<std::uint8_t> text(1 + (noise >> 8) % 19);
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<std::uint8_t>(kLetters[(noise >> (3 * i)) % kLetters.size()]);
  const std::uint8_t closer = kClosers[(noise >> 16) % std::size(kClosers)];
  switch (noise % 6) {
    case 0:  // closed by a byte other than NUL
      text.push_back(closer);
      break;
    case 1:  // 19 characters and more: too long for a value
      text.resize(19 + (noise >> 24) % 3, 'x');
      text.push_back(closer);
      break;
    case 2:  // no printable first byte: no name at all
      text.front() = closer;
      break;
    case 3:  // a separator inside
      text.insert(text.begin() + static_cast<long>(text.size() / 2), ",()"[(noise >> 32) % 3]);
      text.push_back(0);
      break;
    case 4:  // trailing spaces
      text.push_back(' ');
      text.push_back(Byte(noise, 5) % 2 == 0 ? 0 : closer);
      break;
    default:  // exactly 19 characters, closed by anything
      text.resize(19, 'y');
      text.push_back(Byte(noise, 6) % 2 == 0 ? 0 : closer);
      break;
  }
  return text;
}

}  // namespace

SaveBuilder& SaveBuilder::WithAwkwardValues(int slot) {
  WithEntry(slot);
  std::uint64_t state = seed_ * 7919 + static_cast<std::uint64_t>(slot);
  for (const FieldRow& field : kFieldTable) {
    const std::size_t offset = static_cast<std::size_t>(field.offset);
    const std::uint64_t noise = NextNoise(state);
    if (field.kind == FieldKind::kText) {
      WithBytes(slot, offset, AwkwardText(noise));
    } else if (field.kind == FieldKind::kFloat) {
      WithFloatBits(slot, offset, AwkwardFloatBits(noise));
    }
  }
  return *this;
}

SaveBuilder& SaveBuilder::WithThumbnail(int slot) {
  std::vector<std::uint8_t> picture(static_cast<std::size_t>(kThumbnailSize));
  std::uint64_t state = seed_;
  for (std::uint8_t& byte : picture) {
    byte = static_cast<std::uint8_t>(NextNoise(state) ^ static_cast<std::uint64_t>(slot));
  }
  return WithBytes(slot, static_cast<std::size_t>(kThumbnailOffset), std::move(picture));
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
  std::vector<Patch> patches = {{static_cast<std::size_t>(kTitleWindowOffset), TitleBytes(title_)}};
  patches.insert(patches.end(), patches_.begin(), patches_.end());
  for (const Patch& patch : patches) {
    for (std::size_t k = 0; k < patch.bytes.size() && patch.offset + k < save.size(); ++k) {
      save[patch.offset + k] = patch.bytes[k];
    }
  }
  return save;
}

}  // namespace kv5::builder

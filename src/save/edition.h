#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "save/span.h"

namespace kv5 {

// Which game wrote a save. The numbers are the ones the tool has always used
// internally; only edition 5 saves are worked on.
enum class Edition : std::int32_t { kUnknown = -1, kFour = 0, kFive = 1 };

// The title of the game is stored as little-endian UTF-16 in a 27-byte window.
constexpr std::int64_t kTitleWindowOffset = 5778;
constexpr std::size_t kTitleWindowLength = 27;

using TitleWindow = std::array<std::uint8_t, kTitleWindowLength>;

// The first 27 bytes of `title` laid out as UTF-16, low byte first. Both
// titles are plain ASCII, so each letter is followed by a zero byte; the 27th
// byte is the low byte of the 14th character (a NUL when the title is shorter).
constexpr TitleWindow Utf16Window(const char* title) {
  TitleWindow window{};
  bool ended = false;
  for (std::size_t i = 0; i < window.size(); i += 2) {
    const char letter = ended ? '\0' : title[i / 2];
    ended = ended || letter == '\0';
    window[i] = static_cast<std::uint8_t>(letter);
  }
  return window;
}

constexpr TitleWindow kEditionFourWindow = Utf16Window("Kestrelvane IV");
constexpr TitleWindow kEditionFiveWindow = Utf16Window("KESTRELVANE V");

// Compares the title window with both editions' titles; a save too short to
// hold the window is of no known edition.
Edition DetectEdition(ConstByteSpan image);

// The console line that reports `edition`.
const char* EditionMessage(Edition edition);

}  // namespace kv5

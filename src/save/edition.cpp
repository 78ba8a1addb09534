#include "save/edition.h"

#include <algorithm>
#include <array>

namespace kv5 {
namespace {

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

}  // namespace

Edition DetectEdition(ConstByteSpan image) {
  if (image.size() < static_cast<std::size_t>(kTitleWindowOffset) + kTitleWindowLength) {
    return Edition::kUnknown;
  }
  const ConstByteSpan window = image.subspan(kTitleWindowOffset, kTitleWindowLength);
  if (std::equal(window.begin(), window.end(), kEditionFourWindow.begin())) return Edition::kFour;
  if (std::equal(window.begin(), window.end(), kEditionFiveWindow.begin())) return Edition::kFive;
  return Edition::kUnknown;
}

const char* EditionMessage(Edition edition) {
  switch (edition) {
    case Edition::kFour:
      return "Kestrelvane 4 save detected.\n";
    case Edition::kFive:
      return "Kestrelvane 5 save detected.\n";
    case Edition::kUnknown:
      break;
  }
  return "Save data is in unknown format.\n";
}

}  // namespace kv5

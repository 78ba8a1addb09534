#include "save/edition.h"

#include <algorithm>

namespace kv5 {
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

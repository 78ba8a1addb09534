#include "catalogue/hex.h"

namespace kv5 {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

std::uint8_t HexPairToByte(std::string_view text, std::size_t position) {
  const char high = position < text.size() ? text[position] : '\0';
  const char low = position + 1 < text.size() ? text[position + 1] : '\0';
  return static_cast<std::uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

}  // namespace kv5

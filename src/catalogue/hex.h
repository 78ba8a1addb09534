#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kv5 {

// The value of a hexadecimal digit (0-9, A-F, a-f); any other character,
// NUL included, counts as 0.
int HexDigitValue(char c);

// The two characters at `position` read as one byte, high digit first. A
// position at or past the end of the text reads as NUL, that is as 0.
std::uint8_t HexPairToByte(std::string_view text, std::size_t position);

}  // namespace kv5

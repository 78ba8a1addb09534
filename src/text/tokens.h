#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv5 {

// The small parsers of the text file. Each takes text and returns a value;
// none of them prints or touches the value store.

// The position just after the first "[ENTRY" of the line, each letter in
// either case, or -1. The line is walked once: a character that breaks a
// partial match is not tried again as the start of a new one.
int FindEntryHeader(std::string_view line);

// An entry number that names no slot: what ten or more digits read as.
constexpr std::int32_t kEntryNumberTooLarge = INT32_MAX;

// The run of decimal digits at the start of `text`, minus 1, as an entry
// index; -1 when the text does not start with a digit. A number of more than
// nine digits is larger than any entry and reads as kEntryNumberTooLarge.
std::int32_t ReadEntryNumber(std::string_view text);

// Token `n` (from 1) of a value text: a run of characters between the
// separators ",", "(", ")", the end of the text and, unless `text_kind`, the
// space. Empty when the text has fewer tokens.
std::optional<std::string_view> FindValueToken(std::string_view value, int n, bool text_kind);

// Decimal conversions as `atoi` and `atof` read the start of a text: no
// digits give 0. An integer beyond the 32-bit range is held at the nearest
// bound.
std::int32_t ReadDecimalInteger(std::string_view text);
float ReadDecimalFloat(std::string_view text);

// Eight hexadecimal characters holding a float's four bytes, least
// significant byte first: "0000803F" is 1.0. Other characters count as 0.
float HexGroupToFloat(std::string_view group);

// Removes trailing spaces, but never the first character: a text of spaces
// keeps one.
void TrimTrailingSpaces(std::string& text);
// The same for a text that is not to be changed: the part of it that stays.
std::string_view WithoutTrailingSpaces(std::string_view text);

}  // namespace kv5

#include "text/tokens.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "catalogue/hex.h"

namespace kv5 {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c, bool text_kind) {
  return c == ',' || c == '(' || c == ')' || (c == ' ' && !text_kind);
}

}  // namespace

int FindEntryHeader(std::string_view line) {
  constexpr std::string_view kHeader = "[entry";
  // Nothing before the first "[" can start a match: begin the walk there.
  // Most lines have none at all.
  std::size_t matched = 0;
  for (std::size_t i = line.find('['); i < line.size(); ++i) {
    if (LowerCase(line[i]) == kHeader[matched]) {
      if (++matched == kHeader.size()) return static_cast<int>(i + 1);
    } else {
      matched = 0;
    }
  }
  return -1;
}

std::int32_t ReadEntryNumber(std::string_view text) {
  constexpr std::size_t kMostDigits = 9;
  std::size_t digits = 0;
  std::int32_t number = 0;
  while (digits < text.size() && IsDigit(text[digits])) {
    if (digits == kMostDigits) return kEntryNumberTooLarge;
    number = number * 10 + (text[digits] - '0');
    ++digits;
  }
  return digits == 0 ? -1 : number - 1;
}

std::optional<std::string_view> FindValueToken(std::string_view value, int n, bool text_kind) {
  int count = 0;
  std::size_t i = 0;
  while (i < value.size()) {
    while (i < value.size() && IsSeparator(value[i], text_kind)) ++i;
    const std::size_t start = i;
    while (i < value.size() && !IsSeparator(value[i], text_kind)) ++i;
    if (i > start && ++count == n) return value.substr(start, i - start);
  }
  return std::nullopt;
}

std::int32_t ReadDecimalInteger(std::string_view text) {
  constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Past the 32-bit range the value only needs to stay there.
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude <= kHighest + 1) magnitude = magnitude * 10 + (text[i] - '0');
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(value < kLowest ? kLowest : value > kHighest ? kHighest : value);
}

float ReadDecimalFloat(std::string_view text) {
  // strtod needs a terminated string; a token is at most a line long.
  const std::string terminated(text);
  return static_cast<float>(std::strtod(terminated.c_str(), nullptr));
}

float HexGroupToFloat(std::string_view group) {
  std::uint32_t bits = 0;
  for (std::size_t pair = 0; pair < 4; ++pair) {
    bits |= static_cast<std::uint32_t>(HexPairToByte(group, 2 * pair)) << (8 * pair);
  }
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void TrimTrailingSpaces(std::string& text) { text.resize(WithoutTrailingSpaces(text).size()); }

std::string_view WithoutTrailingSpaces(std::string_view text) {
  while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace kv5

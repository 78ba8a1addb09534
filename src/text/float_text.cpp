#include "text/float_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace kv5 {
namespace {

constexpr std::uint64_t kMillion = 1000000;
// Below this magnitude the value times a million fits in 64 bits exactly.
constexpr float kExactBelow = 1099511627776.0f;  // 2^40

// The value in millionths, rounded to nearest, ties to even. A float is
// m * 2^e with m below 2^24, so m * 10^6 stays below 2^44.
std::uint64_t Millionths(float magnitude) {
  int exponent = 0;
  const float fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
  const int shift = 24 - exponent;  // magnitude = mantissa / 2^shift
  const std::uint64_t scaled = mantissa * kMillion;
  if (shift <= 0) return scaled << -shift;
  if (shift >= 64) return 0;  // below 2^-40: rounds to zero
  const std::uint64_t whole = scaled >> shift;
  const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  if (rest > half || (rest == half && (whole & 1) != 0)) return whole + 1;
  return whole;
}

}  // namespace

char* PutFloatText(char* out, float value) {
  if (!(std::fabs(value) < kExactBelow)) {
    // Large values, infinities and NaN: the C library's own conversion.
    char text[kLongestFloatText + 1];
    const int length = std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    const std::size_t count =
        static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(kLongestFloatText)));
    std::memcpy(out, text, count);
    return out + count;
  }
  if (std::signbit(value)) *out++ = '-';
  const std::uint64_t millionths = Millionths(std::fabs(value));
  char digits[20];
  std::uint64_t whole = millionths / kMillion;
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  while (count > 0) *out++ = digits[--count];
  *out++ = '.';
  std::uint64_t decimals = millionths % kMillion;
  for (int i = 5; i >= 0; --i) {
    out[i] = static_cast<char>('0' + decimals % 10);
    decimals /= 10;
  }
  return out + 6;
}

}  // namespace kv5

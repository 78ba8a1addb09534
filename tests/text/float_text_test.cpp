// The export's own "%f" for floats, checked against the C library's.

#include "text/float_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace kv5 {
namespace {

// Empty when the export writes what printf writes; otherwise both.
std::string Mismatch(float value) {
  char ours[kLongestFloatText];
  char library[64];
  std::snprintf(library, sizeof library, "%f", static_cast<double>(value));
  const std::string text(ours, PutFloatText(ours, value));
  return text == library ? "" : text + " instead of " + library;
}

// Values where the digits are hard to get right: ties that go to the even
// digit, the ends of the range, infinities and NaNs, the edges of rounding
// to six decimals; then every exponent with many mantissas, the smallest and
// largest included, and every multiple of 1/128 in the range saves use.
TEST(FloatTextTest, WritesWhatPrintfWrites) {
  const float awkward[] = {0.0078125f,   0.0234375f, -1e-9f,          -1562.5f,
                           0x1p-149f,    0x1p-126f,  0x1.fffffep127f, -HUGE_VALF,
                           -NAN,         5e-7f,      4.9999997e-7f,   0.9999995f,
                           999999.9999f, 0x1p40f,    0x1.fffffep39f,  0x3p-41f};
  for (const float value : awkward) EXPECT_EQ(Mismatch(value), "");
  std::uint64_t state = 12345;
  for (std::uint32_t exponent = 0; exponent < 256; ++exponent) {
    for (std::uint32_t i = 0; i < 4000; ++i) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      const std::uint32_t mantissa = i == 0 ? 0 : i == 1 ? 0x7FFFFF : state >> 41;
      const std::uint32_t bits = (i & 1) << 31 | exponent << 23 | mantissa;
      float value = 0;
      std::memcpy(&value, &bits, sizeof value);
      ASSERT_EQ(Mismatch(value), "") << "bits " << bits;
    }
  }
  for (int n = -128 * 4096; n <= 128 * 4096; ++n) {
    ASSERT_EQ(Mismatch(static_cast<float>(n) / 128), "") << n << "/128";
  }
}

}  // namespace
}  // namespace kv5

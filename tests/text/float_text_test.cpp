// The export's own "%f" for floats, checked against the C library's.

#include "text/float_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace kv5 {
namespace {

std::string Ours(float value) {
  char text[kLongestFloatText];
  return std::string(text, PutFloatText(text, value));
}

std::string Library(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

float FromBits(std::uint32_t bits) {
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TEST(FloatTextTest, WritesWhatPrintfWrites) {
  EXPECT_EQ(Ours(1.0f), "1.000000");
  EXPECT_EQ(Ours(-0.5f), "-0.500000");
  EXPECT_EQ(Ours(-0.0f), "-0.000000");
  EXPECT_EQ(Ours(0.0078125f), "0.007812") << "a tie goes to the even digit";
  EXPECT_EQ(Ours(0.0234375f), "0.023438");
  EXPECT_EQ(Ours(-1e-9f), "-0.000000");
  EXPECT_EQ(Ours(-1562.5f), "-1562.500000");
  const float awkward[] = {0.0f,
                           std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::max(),
                           -std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           -std::numeric_limits<float>::quiet_NaN(),
                           5e-7f,
                           4.9999997e-7f,
                           0.9999995f,
                           999999.9999f,
                           std::ldexp(1.0f, 40),
                           std::nextafter(std::ldexp(1.0f, 40), 0.0f),
                           std::ldexp(1.0f, -40),
                           std::ldexp(3.0f, -41)};
  for (const float value : awkward) EXPECT_EQ(Ours(value), Library(value)) << Library(value);
}

TEST(FloatTextTest, AgreesWithPrintfOverEveryExponent) {
  // Every exponent with many mantissas, the smallest and largest included,
  // and every multiple of 1/128 in the range saves use.
  std::uint64_t state = 12345;
  for (std::uint32_t exponent = 0; exponent < 256; ++exponent) {
    for (std::uint32_t i = 0; i < 4000; ++i) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      std::uint32_t mantissa = static_cast<std::uint32_t>(state >> 41);
      if (i < 2) mantissa = i == 0 ? 0 : 0x7FFFFF;
      const std::uint32_t sign = (i & 1) << 31;
      const float value = FromBits(sign | exponent << 23 | mantissa);
      ASSERT_EQ(Ours(value), Library(value)) << "bits " << (sign | exponent << 23 | mantissa);
    }
  }
  for (int n = -128 * 4096; n <= 128 * 4096; ++n) {
    const float value = static_cast<float>(n) / 128.0f;
    ASSERT_EQ(Ours(value), Library(value)) << n << "/128";
  }
}

}  // namespace
}  // namespace kv5

#include "save/large_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

namespace kv5 {
namespace {

TEST(LargePagesTest, AnImageKeepsItsBytesWhenItGrowsPastALargePage) {
  ImageBytes bytes(1000);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
  bytes.resize(3 * kLargePageSize);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % kLargePageSize, 0u);
  for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(i + 7));
  EXPECT_EQ(bytes.back(), 0) << "new bytes are zero";
  bytes.resize(10);
  bytes.shrink_to_fit();  // back to an ordinary allocation, freed the matching way
  EXPECT_EQ(bytes[9], 16);
}

}  // namespace
}  // namespace kv5

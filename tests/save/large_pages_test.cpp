#include "save/large_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

namespace kv5 {
namespace {

bool OnLargePage(const void* data) {
  return reinterpret_cast<std::uintptr_t>(data) % kLargePageSize == 0;
}

TEST(LargePagesTest, LargeBuffersStartOnALargePageAndSmallOnesAreOrdinary) {
  LargePageAllocator<std::uint8_t> allocator;
  std::uint8_t* large = allocator.allocate(kLargePageSize + 1);
  EXPECT_TRUE(OnLargePage(large));
  large[0] = 1;
  large[kLargePageSize] = 2;  // the whole size is usable
  allocator.deallocate(large, kLargePageSize + 1);

  std::uint8_t* small = allocator.allocate(100);
  small[99] = 3;
  allocator.deallocate(small, 100);

  LargePageAllocator<std::uint32_t> words(allocator);
  std::uint32_t* many = words.allocate(kLargePageSize / 4);
  EXPECT_TRUE(OnLargePage(many));
  words.deallocate(many, kLargePageSize / 4);
}

TEST(LargePagesTest, AnImageKeepsItsBytesWhenItGrowsPastALargePage) {
  ImageBytes bytes(1000);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
  bytes.resize(3 * kLargePageSize);
  EXPECT_TRUE(OnLargePage(bytes.data()));
  for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(i + 7));
  EXPECT_EQ(bytes.back(), 0) << "new bytes are zero";
  bytes.resize(10);
  bytes.shrink_to_fit();
  EXPECT_EQ(bytes[9], 16);
}

TEST(LargePagesTest, AdviceChangesNoContents) {
  ImageBytes bytes(kLargePageSize * 2, 0xAB);
  AdviseLargePages(bytes.data(), bytes.size());
  AdviseLargePages(bytes.data() + 1, 5);  // no whole large page inside
  EXPECT_EQ(bytes.front(), 0xAB);
  EXPECT_EQ(bytes.back(), 0xAB);
}

}  // namespace
}  // namespace kv5

#include "save/slots.h"

#include <algorithm>

namespace kv5 {
namespace {

// Where each slot's entry begins in the save file. Slots 1 to 23, 24 to 46 and
// 47 to 50 follow one another without a gap; between the groups, and between
// the replay slots, lie bytes that belong to no slot and are never touched.
constexpr std::array<std::int32_t, kSlotCount> kSlotOffsets = {
    // Slots 1 to 50: custom characters.
    74220, 104052, 133884, 163716, 193548, 223380, 253212, 283044, 312876, 342708,
    372540, 402372, 432204, 462036, 491868, 521700, 551532, 581364, 611196, 641028,
    670860, 700692, 730524, 776740, 806572, 836404, 866236, 896068, 925900, 955732,
    985564, 1015396, 1045228, 1075060, 1104892, 1134724, 1164556, 1194388, 1224220, 1254052,
    1283884, 1313716, 1343548, 1373380, 1403212, 1433044, 1471068, 1500900, 1530732, 1560564,
    // Slots 51 to 118: characters from replays.
    1596632, 1626464, 1689472, 1719304, 1782312, 1812144, 1875152, 1904984, 1967992, 1997824,
    2060832, 2090664, 2153672, 2191696, 2254704, 2284536, 2367632, 2397464, 2460472, 2490304,
    2553312, 2646152, 2768824, 2861664, 2962696, 3025704, 3055536, 3118544, 3211384, 3241216,
    3304224, 3334056, 3397064, 3426896, 3489904, 3519736, 3590936, 3620768, 3683776, 3713608,
    3776616, 3806448, 3899288, 3962296, 4055136, 4084968, 4147976, 4240816, 4270648, 4341848,
    4371680, 4434688, 4464520, 4527528, 4557360, 4620368, 4650200, 4713208, 4743040, 4806048,
    4835880, 4928720, 4999920, 5029752, 5092760, 5185600, 5278440, 5308272,
};

}  // namespace

std::int32_t SlotOffset(int slot) { return kSlotOffsets[static_cast<std::size_t>(slot)]; }

bool SlotInImage(std::int64_t image_size, int slot) {
  return static_cast<std::int64_t>(SlotOffset(slot)) + kEntrySize <= image_size;
}

bool SlotHoldsEntry(ConstByteSpan image, int slot) {
  const ConstByteSpan head =
      image.subspan(static_cast<std::size_t>(SlotOffset(slot)), kEntrySignature.size());
  return head.size() == kEntrySignature.size() &&
         std::equal(head.begin(), head.end(), kEntrySignature.begin());
}

}  // namespace kv5

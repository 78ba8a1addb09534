#pragma once

#include <array>
#include <cstdint>

#include "save/span.h"

namespace kv5 {

// A save holds 118 entry slots at fixed places. Users count slots from 1; the
// tool counts slot indexes from 0. Slots 1 to 50 hold the player's own custom
// characters, slots 51 to 118 characters that came with replays.
constexpr int kSlotCount = 118;
constexpr int kCustomSlotCount = 50;

constexpr std::int32_t kEntrySize = 29832;
constexpr std::int32_t kThumbnailOffset = 13464;  // inside an entry
constexpr std::int32_t kThumbnailSize = kEntrySize - kThumbnailOffset;

// The ten bytes that open every entry.
constexpr std::array<std::uint8_t, 10> kEntrySignature = {0x01, 0x00, 0x00, 0x00, 0x00,
                                                          0x0B, 0x00, 0x00, 0x0D, 0xFF};

// Absolute offset of a slot's entry in the save; `slot` is 0 to 117.
std::int32_t SlotOffset(int slot);

// True when the slot's whole entry lies inside an image of `image_size` bytes.
bool SlotInImage(std::int64_t image_size, int slot);

// True when the slot, which must lie inside `image`, opens with the signature.
bool SlotHoldsEntry(ConstByteSpan image, int slot);

}  // namespace kv5

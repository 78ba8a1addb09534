#pragma once

#include <cstddef>
#include <cstdint>

#include "save/span.h"

namespace kv5 {

// Which game wrote a save. The numbers are the ones the tool has always used
// internally; only edition 5 saves are worked on.
enum class Edition : std::int32_t { kUnknown = -1, kFour = 0, kFive = 1 };

// The title of the game is stored as little-endian UTF-16 in a 27-byte window.
constexpr std::int64_t kTitleWindowOffset = 5778;
constexpr std::size_t kTitleWindowLength = 27;

// Compares the title window with both editions' titles; a save too short to
// hold the window is of no known edition.
Edition DetectEdition(ConstByteSpan image);

// The console line that reports `edition`.
const char* EditionMessage(Edition edition);

}  // namespace kv5

#pragma once

#include <cstdint>
#include <vector>

namespace kv5::builder {

// The save the README's demo reads: three custom characters in slots 1, 2
// and 4, and one character from a replay in slot 52, each with a thumbnail
// picture of its own.
std::vector<std::uint8_t> BuildDemoSave();

}  // namespace kv5::builder

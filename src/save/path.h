#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kv5 {

// Path buffers, counted with their terminating NUL: a save path may have 2599
// characters, every name the tool forms from it 2603.
constexpr std::size_t kSavePathCapacity = 2600;
constexpr std::size_t kFormedPathCapacity = 2604;

// Joins the parts into one path if it fits a buffer of `capacity` bytes.
// Otherwise prints "Error: Path is too long: ..." with the whole path and
// returns nothing: a name cut short must never be opened or written.
std::optional<std::string> FitPath(std::size_t capacity,
                                   std::initializer_list<std::string_view> parts);

}  // namespace kv5

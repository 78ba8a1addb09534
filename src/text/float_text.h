#pragma once

#include <cstddef>

namespace kv5 {

// The most characters a float takes in "%f" form: a sign, 39 digits, the
// point and six decimals.
constexpr std::size_t kLongestFloatText = 47;

// Writes `value` widened to double as printf's "%f" writes it, six decimals
// rounded to nearest with ties to even, at `out`, which has room for
// kLongestFloatText characters; returns the end. No NUL is written.
char* PutFloatText(char* out, float value);

}  // namespace kv5

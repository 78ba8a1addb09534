#pragma once

#include <array>
#include <string_view>

#include "save/file.h"

namespace kv5 {

// Reads a text file line by line, as much of a line as fits: at most 1059
// characters, up to and including the next LF. A longer line comes back in
// pieces, each counted as a line of its own; a file whose lines end in CR
// alone comes back in pieces of 1059 characters. A line ends at a NUL byte.
class LineReader {
 public:
  static constexpr std::size_t kLongestLine = 1059;

  explicit LineReader(File& file) : file_(file) {}

  // The next line, or false at the end of the file or when it cannot be read.
  bool Next(std::string_view& line);
  // Whether the reading ended because the file could not be read.
  bool failed() const;

 private:
  File& file_;
  std::array<char, kLongestLine + 2> buffer_{};
};

}  // namespace kv5

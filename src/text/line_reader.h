#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "save/file.h"

namespace kv5 {

// Where the import takes its lines from. Either kind gives a line as much of
// it as fits: at most 1059 characters, up to and including the next LF. A
// longer line comes back in pieces, each counted as a line of its own; a
// text whose lines end in CR alone comes back in pieces of 1059 characters.
// A line ends at a NUL byte: the rest of that piece is lost.
class LineSource {
 public:
  static constexpr std::size_t kLongestLine = 1059;

  virtual ~LineSource() = default;
  // The next line, or false at the end of the text or when it cannot be read.
  virtual bool Next(std::string_view& line) = 0;
  // Whether the reading ended because the text could not be read.
  virtual bool failed() const = 0;
};

// The lines of an open file.
class FileLines final : public LineSource {
 public:
  explicit FileLines(File& file) : file_(file) {}
  bool Next(std::string_view& line) override;
  bool failed() const override;

 private:
  File& file_;
  std::array<char, kLongestLine + 2> buffer_{};
};

// The lines of a text held in memory, which must outlive the source.
class TextLines final : public LineSource {
 public:
  explicit TextLines(std::string_view text) : rest_(text) {}
  bool Next(std::string_view& line) override;
  bool failed() const override { return false; }

 private:
  std::string_view rest_;
};

}  // namespace kv5

#include "text/line_reader.h"

#include <algorithm>

namespace kv5 {

bool FileLines::Next(std::string_view& line) {
  if (std::fgets(buffer_.data(), static_cast<int>(kLongestLine + 1), file_.get()) == nullptr) {
    return false;
  }
  line = std::string_view(buffer_.data());
  return true;
}

bool FileLines::failed() const { return std::ferror(file_.get()) != 0; }

bool TextLines::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  // As fgets reads: up to the LF, or as many characters as fit, then the
  // line as C reads it, up to a NUL.
  const std::size_t end = rest_.substr(0, kLongestLine).find('\n');
  const std::size_t size =
      end == std::string_view::npos ? std::min(kLongestLine, rest_.size()) : end + 1;
  line = rest_.substr(0, size);
  line = line.substr(0, line.find('\0'));
  rest_.remove_prefix(size);
  return true;
}

}  // namespace kv5

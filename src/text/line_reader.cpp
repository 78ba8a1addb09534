#include "text/line_reader.h"

#include <cstdio>

namespace kv5 {

bool LineReader::Next(std::string_view& line) {
  if (std::fgets(buffer_.data(), static_cast<int>(kLongestLine + 1), file_.get()) == nullptr) {
    return false;
  }
  line = std::string_view(buffer_.data());
  return true;
}

bool LineReader::failed() const { return std::ferror(file_.get()) != 0; }

}  // namespace kv5

#include "save/reporter.h"

#include <array>
#include <cstdarg>
#include <cstdio>

namespace kv5 {

void Reporter::Say(const char* format, ...) {
  // Most messages fit the buffer on the stack; one that names a long path
  // is formatted again at its full length.
  std::array<char, 256> buffer;
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
  va_end(arguments);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(length) < buffer.size()) {
    va_end(again);
    Write(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
    return;
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  text.pop_back();
  Write(text);
}

}  // namespace kv5

#pragma once

#include <string>
#include <string_view>

#if defined(__GNUC__)
#define KV5_PRINTF_FORMAT(format_index, first_argument) \
  __attribute__((format(printf, format_index, first_argument)))
#else
#define KV5_PRINTF_FORMAT(format_index, first_argument)
#endif

namespace kv5 {

// Where the tool's messages go. The core never prints: it reports, and its
// caller decides where the lines end up. The command line writes them to
// standard output as they come; a library caller collects them as text.
class Reporter {
 public:
  virtual ~Reporter() = default;

  // Takes `text` as it is, line ends and all.
  virtual void Write(std::string_view text) = 0;
  // Formats as printf does and writes the result.
  void Say(const char* format, ...) KV5_PRINTF_FORMAT(2, 3);
  // Whether everything written so far reached where it goes.
  virtual bool Flush() { return true; }
};

// Keeps every message, in order, as one text.
class MessageText final : public Reporter {
 public:
  void Write(std::string_view text) override { text_ += text; }
  const std::string& text() const { return text_; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

}  // namespace kv5

#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kv5 {

// A text in a fixed buffer of N bytes, NUL included: at most N - 1
// characters. Assigning copies at most that many, so a buffer is never
// overrun, whatever is put into it.
template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t kCapacity = N;

  void Assign(std::string_view text) {
    const std::size_t count = text.size() < N - 1 ? text.size() : N - 1;
    for (std::size_t i = 0; i < count; ++i) chars_[i] = text[i];
    for (std::size_t i = count; i < N; ++i) chars_[i] = '\0';
  }
  void Clear() { chars_.fill('\0'); }

  const char* c_str() const { return chars_.data(); }
  std::string_view view() const { return std::string_view(chars_.data()); }
  bool empty() const { return chars_[0] == '\0'; }
  std::size_t size() const { return view().size(); }

 private:
  // The last byte is never written with anything but NUL.
  std::array<char, N> chars_{};
};

}  // namespace kv5

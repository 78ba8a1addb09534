#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kv5 {

// A view of contiguous elements that it does not own, the C++17 stand-in for
// std::span. Every part of the tool that looks into the save image does so
// through one of these, so the bounds travel with the pointer.
template <typename T>
class Span {
 public:
  constexpr Span() = default;
  constexpr Span(T* data, std::size_t size) : data_(data), size_(size) {}

  template <typename U, typename = std::enable_if_t<std::is_convertible_v<U (*)[], T (*)[]>>>
  constexpr Span(const Span<U>& other) : data_(other.data()), size_(other.size()) {}

  // From any container with data() and size(), temporaries included, so that
  // a function taking a span can be handed a vector directly.
  template <typename Container, typename = std::enable_if_t<std::is_convertible_v<
                                    decltype(std::declval<Container&>().data()), T*>>>
  constexpr Span(Container&& container) : data_(container.data()), size_(container.size()) {}

  constexpr T* data() const { return data_; }
  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr T& operator[](std::size_t index) const { return data_[index]; }
  constexpr T* begin() const { return data_; }
  constexpr T* end() const { return data_ + size_; }

  // The part from `offset` on, at most `count` elements; empty past the end.
  constexpr Span subspan(std::size_t offset, std::size_t count) const {
    if (offset >= size_) return Span(data_ + size_, 0);
    const std::size_t available = size_ - offset;
    return Span(data_ + offset, count < available ? count : available);
  }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

using ByteSpan = Span<std::uint8_t>;
using ConstByteSpan = Span<const std::uint8_t>;

}  // namespace kv5

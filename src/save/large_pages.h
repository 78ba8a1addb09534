#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace kv5 {

// Memory that a process writes for the first time costs a page fault per
// page, and on a virtual machine a fault costs microseconds: in 4 KiB pages
// the save image alone takes 1,300 of them, more time than reading it. The
// two large buffers of a run, the save image and the value store, are
// therefore put in 2 MiB pages where the system has them.
constexpr std::size_t kLargePageSize = std::size_t{2} << 20;

// The alignment a large static object asks for so that it starts on a large
// page: Linux's loader places a program's segments on the alignment they
// ask for. Elsewhere, where no large pages are advised, an ordinary one.
constexpr std::size_t kStaticLargePageAlignment =
#if defined(__linux__)
    kLargePageSize;
#else
    alignof(std::max_align_t);
#endif

// Asks the system to back the whole 2 MiB pages inside [data, data + size),
// memory not written yet, with large pages. Only advice: contents and size
// are unchanged, and a system without large pages goes on with small ones.
void AdviseLargePages(void* data, std::size_t size);

// WebAssembly's memory has no pages to fault in: there a buffer is
// allocated as it is, as rounding it up would only take memory.
constexpr bool kLargePagesHelp =
#if defined(__EMSCRIPTEN__)
    false;
#else
    true;
#endif

// Whether a buffer of `size` bytes goes into large pages.
constexpr bool InLargePages(std::size_t size) { return kLargePagesHelp && size >= kLargePageSize; }

// Allocates a buffer of a large page or more in whole large pages, aligned
// to one and advised as above; smaller buffers as usual.
template <typename T>
class LargePageAllocator {
 public:
  using value_type = T;

  LargePageAllocator() = default;
  template <typename U>
  LargePageAllocator(const LargePageAllocator<U>&) noexcept {}  // NOLINT: as std::allocator

  T* allocate(std::size_t count) {
    if (count > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t size = count * sizeof(T);
    if (!InLargePages(size)) return static_cast<T*>(::operator new(size));
    const std::size_t rounded = (size + kLargePageSize - 1) / kLargePageSize * kLargePageSize;
    if (rounded < size) throw std::bad_array_new_length();
    void* data = ::operator new (rounded, std::align_val_t{kLargePageSize});
    AdviseLargePages(data, rounded);
    return static_cast<T*>(data);
  }

  void deallocate(T* data, std::size_t count) noexcept {
    if (!InLargePages(count * sizeof(T))) {
      ::operator delete(data);
    } else {
      ::operator delete (data, std::align_val_t{kLargePageSize});
    }
  }

  template <typename U>
  bool operator==(const LargePageAllocator<U>&) const noexcept {
    return true;
  }
  template <typename U>
  bool operator!=(const LargePageAllocator<U>&) const noexcept {
    return false;
  }
};

// The bytes of a save image.
using ImageBytes = std::vector<std::uint8_t, LargePageAllocator<std::uint8_t>>;

}  // namespace kv5

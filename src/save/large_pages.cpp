#include "save/large_pages.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kv5 {

void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kLargePageSize - 1) & ~(kLargePageSize - 1);
  const std::uintptr_t end = (start + size) & ~(kLargePageSize - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
}

}  // namespace kv5

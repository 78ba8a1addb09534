#include "save/path.h"

#include <cstdio>

namespace kv5 {

std::optional<std::string> FitPath(std::size_t capacity,
                                   std::initializer_list<std::string_view> parts) {
  std::string path;
  for (const std::string_view part : parts) path.append(part);
  if (path.size() >= capacity) {
    std::printf("Error: Path is too long: %s\n", path.c_str());
    return std::nullopt;
  }
  return path;
}

}  // namespace kv5

#include "save/path.h"

#include <cctype>

namespace kv5 {

std::optional<std::string> FitPath(std::size_t capacity,
                                   std::initializer_list<std::string_view> parts,
                                   Reporter& report) {
  std::string path;
  for (const std::string_view part : parts) path.append(part);
  if (path.size() >= capacity) {
    report.Say("Error: Path is too long: %s\n", path.c_str());
    return std::nullopt;
  }
  return path;
}

std::string_view FileNameOf(std::string_view path, PathRules rules) {
  if (rules == PathRules::kWindows && path.size() >= 2 && path[1] == ':' &&
      std::isalpha(static_cast<unsigned char>(path[0]))) {
    path.remove_prefix(2);
  }
  const std::size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::optional<std::string> TextFileNameFor(std::string_view save_path, bool into_directories,
                                           Reporter& report, PathRules rules) {
  if (!into_directories) return FitPath(kFormedPathCapacity, {save_path, ".txt"}, report);
  return FitPath(kFormedPathCapacity, {"txt/", FileNameOf(save_path, rules), ".txt"}, report);
}

std::optional<std::string> NewSaveNameFor(std::string_view save_path, bool into_directories,
                                          Reporter& report, PathRules rules) {
  if (!into_directories) return FitPath(kFormedPathCapacity, {save_path, ".new"}, report);
  const std::string_view directory = rules == PathRules::kWindows ? "save\\" : "save/";
  return FitPath(kFormedPathCapacity, {directory, FileNameOf(save_path, rules)}, report);
}

}  // namespace kv5

#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "save/reporter.h"

namespace kv5 {

// Path buffers, counted with their terminating NUL: a save path may have 2599
// bytes, every name the tool forms from it 2603. The bytes are those the tool
// holds: the path as given on POSIX systems, its UTF-8 on Windows.
constexpr std::size_t kSavePathCapacity = 2600;
constexpr std::size_t kFormedPathCapacity = 2604;

// Joins the parts into one path if it fits a buffer of `capacity` bytes.
// Otherwise reports "Error: Path is too long: ..." with the whole path and
// returns nothing: a name cut short must never be opened or written.
std::optional<std::string> FitPath(std::size_t capacity,
                                   std::initializer_list<std::string_view> parts, Reporter& report);

// How paths are written where the tool runs. Both take "/" and "\" between
// directories; Windows also begins a path with a drive such as "C:", and
// puts "\" into the names it forms.
enum class PathRules { kPosix, kWindows };
constexpr PathRules kNativePathRules =
#ifdef _WIN32
    PathRules::kWindows;
#else
    PathRules::kPosix;
#endif

// The file's own name: what follows the last directory separator or drive.
std::string_view FileNameOf(std::string_view path, PathRules rules = kNativePathRules);

// The names a run forms from the save path. Without "-p" they stand beside
// the save: "<save path>.txt" and "<save path>.new". With "-p" they are in
// the directories "txt" and "save" of the current directory and take only
// the save's own file name: "txt/<name>.txt" and "save/<name>" ("save\<name>"
// on Windows). Empty after the message when a name does not fit its buffer.
std::optional<std::string> TextFileNameFor(std::string_view save_path, bool into_directories,
                                           Reporter& report, PathRules rules = kNativePathRules);
std::optional<std::string> NewSaveNameFor(std::string_view save_path, bool into_directories,
                                          Reporter& report, PathRules rules = kNativePathRules);

}  // namespace kv5

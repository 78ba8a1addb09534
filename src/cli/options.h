#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kv5 {

// What one run does. The numbers are the tool's own and are kept stable.
enum class RunMode : std::int32_t {
  kRead = 0,
  kWrite = 1,
  kExtract = 2,
  kReplace = 3,
  kExtractThumbnail = 4,
  kReplaceThumbnail = 5,
  kCompare = 6,
};

struct Options {
  RunMode mode = RunMode::kRead;
  bool into_directories = false;  // "-p": new files go into sub-directories
  bool aligned_text = false;      // "-t": every "=" of the text in one column
  std::vector<std::string_view> positional;
};

// Options come first and end at the first argument that does not begin with
// "-"; from there on every argument is positional. Unknown options are
// skipped, and the last mode option wins.
Options ParseOptions(int argc, const char* const argv[]);

// How many positional arguments the mode needs, the save file included.
int PositionalArgumentsNeeded(RunMode mode);

}  // namespace kv5

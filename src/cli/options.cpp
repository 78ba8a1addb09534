#include "cli/options.h"

#include <array>

namespace kv5 {
namespace {

struct ModeOption {
  std::string_view short_form;
  std::string_view long_form;
  RunMode mode;
};

constexpr std::array<ModeOption, 7> kModeOptions = {{
    {"-r", "-read", RunMode::kRead},
    {"-w", "-write", RunMode::kWrite},
    {"-x", "-extract", RunMode::kExtract},
    {"-rp", "-replace", RunMode::kReplace},
    {"-xt", "-extractthumbnail", RunMode::kExtractThumbnail},
    {"-rt", "-replacethumbnail", RunMode::kReplaceThumbnail},
    {"-d", "-diff", RunMode::kCompare},
}};

void ApplyOption(std::string_view argument, Options& options) {
  for (const ModeOption& option : kModeOptions) {
    if (argument == option.short_form || argument == option.long_form) {
      options.mode = option.mode;
      return;
    }
  }
  if (argument == "-p" || argument == "-path") {
    options.into_directories = true;
  } else if (argument == "-t" || argument == "-tab") {
    options.aligned_text = true;
  }
  // "-s"/"-show" are accepted for old scripts and change nothing, like any
  // other unknown option.
}

}  // namespace

Options ParseOptions(int argc, const char* const argv[]) {
  Options options;
  int index = 1;
  for (; index < argc && argv[index][0] == '-'; ++index) ApplyOption(argv[index], options);
  for (; index < argc; ++index) options.positional.emplace_back(argv[index]);
  return options;
}

int PositionalArgumentsNeeded(RunMode mode) {
  switch (mode) {
    case RunMode::kRead:
      return 1;
    case RunMode::kWrite:
    case RunMode::kExtract:
    case RunMode::kExtractThumbnail:
    case RunMode::kCompare:
      return 2;
    case RunMode::kReplace:
    case RunMode::kReplaceThumbnail:
      return 3;
  }
  return 1;
}

}  // namespace kv5

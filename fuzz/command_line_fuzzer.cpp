// Arbitrary command lines: the input split at NUL bytes into arguments after
// the program name. The parser must end the options at the first argument
// that does not begin with "-", keep every later one as positional, and pick
// the mode and flags of the options seen; an entry number must read as
// strtoll reads it, held within the 32-bit range, count as plain exactly when
// strtoll reads it to its end, and be valid exactly for a plain 1 to 118.

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/entry_number.h"
#include "cli/options.h"
#include "fuzz_support.h"

namespace kv5::fuzz {
namespace {

// The options as the usage text and the README give them.
Options ExpectedOptions(const std::vector<std::string>& arguments, std::size_t options_end) {
  Options expected;
  for (std::size_t i = 1; i < options_end; ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "-r" || argument == "-read") expected.mode = RunMode::kRead;
    if (argument == "-w" || argument == "-write") expected.mode = RunMode::kWrite;
    if (argument == "-x" || argument == "-extract") expected.mode = RunMode::kExtract;
    if (argument == "-rp" || argument == "-replace") expected.mode = RunMode::kReplace;
    if (argument == "-xt" || argument == "-extractthumbnail") {
      expected.mode = RunMode::kExtractThumbnail;
    }
    if (argument == "-rt" || argument == "-replacethumbnail") {
      expected.mode = RunMode::kReplaceThumbnail;
    }
    if (argument == "-d" || argument == "-diff") expected.mode = RunMode::kCompare;
    if (argument == "-p" || argument == "-path") expected.into_directories = true;
    if (argument == "-t" || argument == "-tab") expected.aligned_text = true;
  }
  return expected;
}

void CheckEntryNumber(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  const long long read = std::strtoll(text.c_str(), &end, 10);
  const bool plain = end != text.c_str() && *end == '\0';
  const std::int32_t expected = read < INT32_MIN   ? INT32_MIN
                                : read > INT32_MAX ? INT32_MAX
                                                   : static_cast<std::int32_t>(read);
  const EntryNumber number = ReadEntryNumberArgument(text);
  if (number.as_read != expected) {
    Fail("entry number \"%s\" read as %d, not %d", text.c_str(), number.as_read, expected);
  }
  if (number.plain != plain) {
    Fail("entry number \"%s\" is wrongly %s", text.c_str(), plain ? "not plain" : "plain");
  }
  if (number.valid() != (plain && expected >= 1 && expected <= 118)) {
    Fail("entry number \"%s\" (%d) is wrongly %s", text.c_str(), expected,
         number.valid() ? "valid" : "invalid");
  }
  if (number.valid() && number.slot() != expected - 1) {
    Fail("entry number %d selects slot index %d", expected, number.slot());
  }
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  std::vector<std::string> arguments = {"kv5save"};
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Each argument ends at a NUL or at the end of the input.
  for (std::size_t start = 0; start < input.size();) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    arguments.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(arguments.size());

  const Options options = ParseOptions(argc, argv.data());
  std::size_t options_end = 1;
  while (options_end < arguments.size() && arguments[options_end].rfind('-', 0) == 0) {
    ++options_end;
  }
  const std::size_t options_seen = options_end - 1;
  if (options.positional.size() != static_cast<std::size_t>(argc) - 1 - options_seen) {
    fuzz::Fail("%zu positional arguments after %zu options of %d arguments",
               options.positional.size(), options_seen, argc - 1);
  }
  for (std::size_t i = 0; i < options.positional.size(); ++i) {
    if (options.positional[i] != arguments[options_end + i]) {
      fuzz::Fail("positional argument %zu is not argument %zu", i, options_end + i);
    }
  }
  const Options expected = fuzz::ExpectedOptions(arguments, options_end);
  if (options.mode != expected.mode || options.into_directories != expected.into_directories ||
      options.aligned_text != expected.aligned_text) {
    fuzz::Fail("options give mode %d, -p %d, -t %d; expected %d, %d, %d",
               static_cast<int>(options.mode), options.into_directories, options.aligned_text,
               static_cast<int>(expected.mode), expected.into_directories, expected.aligned_text);
  }
  const int needed = PositionalArgumentsNeeded(options.mode);
  if (needed < 1 || needed > 3)
    fuzz::Fail("mode %d needs %d arguments", static_cast<int>(options.mode), needed);

  for (std::size_t i = 1; i < arguments.size(); ++i) fuzz::CheckEntryNumber(arguments[i]);
  return 0;
}

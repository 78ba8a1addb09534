// Arbitrary command lines: the input split at NUL bytes into arguments after
// the program name. The parser must end the options at the first argument
// that does not begin with "-", keep every later one as positional, and pick
// the mode and flags of the options seen; an entry number must read as
// strtoll reads it, held within the 32-bit range, count as plain exactly when
// strtoll reads it to its end, and be valid exactly for a plain 1 to 118.

#include <algorithm>
#include <sstream>
#include <string_view>

#include "cli/entry_number.h"
#include "cli/options.h"
#include "fuzz_support.h"

// The mode options as the usage text and the README give them, in the order
// of the modes' numbers, short form first.
constexpr std::string_view kModeOptions[] = {"-r",  "-read",
                                             "-w",  "-write",
                                             "-x",  "-extract",
                                             "-rp", "-replace",
                                             "-xt", "-extractthumbnail",
                                             "-rt", "-replacethumbnail",
                                             "-d",  "-diff"};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kv5::fuzz::Fail;
  std::vector<std::string> arguments = {"kv5save"};
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string argument; std::getline(input, argument, '\0');) arguments.push_back(argument);
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  const kv5::Options options = kv5::ParseOptions(static_cast<int>(argv.size()), argv.data());

  kv5::Options expected;
  std::size_t i = 1;
  for (; i < arguments.size() && arguments[i][0] == '-'; ++i) {
    const auto mode = std::find(std::begin(kModeOptions), std::end(kModeOptions), arguments[i]);
    if (mode != std::end(kModeOptions)) expected.mode = kv5::RunMode((mode - kModeOptions) / 2);
    expected.into_directories |= arguments[i] == "-p" || arguments[i] == "-path";
    expected.aligned_text |= arguments[i] == "-t" || arguments[i] == "-tab";
  }
  expected.positional.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
  if (options.mode != expected.mode || options.into_directories != expected.into_directories ||
      options.aligned_text != expected.aligned_text || options.positional != expected.positional) {
    Fail("options give mode %d, -p %d, -t %d, %zu positional; expected %d, %d, %d, %zu",
         static_cast<int>(options.mode), options.into_directories, options.aligned_text,
         options.positional.size(), static_cast<int>(expected.mode), expected.into_directories,
         expected.aligned_text, expected.positional.size());
  }

  for (const std::string& text : arguments) {
    char* end = nullptr;
    const long long read = std::strtoll(text.c_str(), &end, 10);
    const bool plain = end != text.c_str() && *end == '\0';
    const auto as_read =
        static_cast<std::int32_t>(std::clamp<long long>(read, INT32_MIN, INT32_MAX));
    const kv5::EntryNumber number = kv5::ReadEntryNumberArgument(text);
    if (number.as_read != as_read || number.plain != plain ||
        number.valid() != (plain && as_read >= 1 && as_read <= 118) ||
        (number.valid() && number.slot() != as_read - 1)) {
      Fail("entry number \"%s\" read as %d (%s), slot index %d; expected %d (%s)", text.c_str(),
           number.as_read, number.plain ? "plain" : "not plain", number.slot(), as_read,
           plain ? "plain" : "not plain");
    }
  }
  return 0;
}

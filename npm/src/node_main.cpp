// The package's kv5save command: the command line on Node.js, over Node's
// own file system (NODERAWFS), in the current directory. Its messages go to
// JavaScript, which writes them to standard output as they come, byte for
// byte; bin/kv5save.cjs sets the exit status from what main returns.

#include <emscripten/emscripten.h>

#include <cstddef>
#include <new>
#include <string_view>

#include "cli/run.h"

// Hands `size` bytes at `data` to Module.printBytes, which copies them.
EM_JS(void, kv5_print_bytes, (const char* data, std::size_t size), {
  Module.printBytes(HEAPU8.subarray(data, data + size));
});

namespace {

class ScriptOutput final : public kv5::Reporter {
 public:
  void Write(std::string_view text) override {
    if (!text.empty()) kv5_print_bytes(text.data(), text.size());
  }
};

}  // namespace

// As the native program: running out of memory is reported, not a crash,
// and leaves the save on disk untouched.
int main(int argc, char* argv[]) {
  ScriptOutput out;
  try {
    return kv5::Run(argc, argv, out);
  } catch (const std::bad_alloc&) {
    out.Write("Error: Out of memory.\n");
    return 1;
  }
}

#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

// The program's messages go to standard output, as they come.
class StandardOutput final : public kv5::Reporter {
 public:
  void Write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stdout); }
  bool Flush() override { return std::fflush(stdout) == 0 && std::ferror(stdout) == 0; }
};

// Every failure the tool knows of is reported by Run itself; running out of
// memory is the one thing left that could throw, and it must not end the
// process abnormally either. The save on disk is never touched by a run that
// stops here: the new save only takes its place once complete.
template <typename Start>
int ReportingOutOfMemory(Start start) {
  StandardOutput out;
  try {
    return start(out);
  } catch (const std::bad_alloc&) {
    out.Write("Error: Out of memory.\n");
    return 1;
  }
}

#ifdef _WIN32
std::string Utf8(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(size - 1));
  return text;
}
#endif

}  // namespace

#ifdef _WIN32
// Windows gives a program its command line in UTF-16; the narrow one would
// pass through the code page and lose every character outside it. The tool
// takes the wide one and holds its paths in UTF-8 (the file layer turns them
// back at each call to the system).
//
// It prints UTF-8, as everywhere, and sets the console to show UTF-8. When
// its output is the console itself, the bytes must also reach it as they
// are: in binary mode, as some C runtimes pass console text through the
// ANSI code page, and in whole buffers, as one that writes byte by byte
// splits every character. Redirected, the output keeps its CR LF line ends.
// The console gets its code page back at the end.
int wmain(int argc, wchar_t* argv[]) {
  const UINT console_code_page = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  DWORD console_mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &console_mode)) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  }
  const int status = ReportingOutOfMemory([&](kv5::Reporter& out) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    return kv5::Run(argc, pointers.data(), out);
  });
  std::fflush(stdout);
  if (console_code_page != 0) SetConsoleOutputCP(console_code_page);
  return status;
}
#else
int main(int argc, char* argv[]) {
  return ReportingOutOfMemory([&](kv5::Reporter& out) { return kv5::Run(argc, argv, out); });
}
#endif

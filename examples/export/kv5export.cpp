// kv5export SAVE: prints the text of the characters in a Kestrelvane 5 save,
// the same text, byte for byte, that `kv5save -r SAVE` writes into SAVE.txt.
// It reads the save itself and hands the bytes to the library.
//
// Exit status: 0 when the text was printed; 1 when the file cannot be read
// or is not an edition 5 save (the reason goes to standard error, and
// nothing to standard output); 2 for a wrong command line.

#include <kv5save/session.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// The whole file at `path`, or nothing when it cannot be read to its end.
std::optional<kv5::Bytes> ReadFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::nullopt;
  kv5::Bytes bytes;
  std::uint8_t buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

void Print(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("Usage: kv5export SAVE\n", stderr);
    return 2;
  }
  const char* path = argv[1];

  const std::optional<kv5::Bytes> bytes = ReadFile(path);
  if (!bytes) {
    std::fprintf(stderr, "kv5export: cannot read %s\n", path);
    return 1;
  }

  // The name stands where the library's messages name the save.
  const kv5::Opened opened = kv5::Session::Open(*bytes, path);
  if (opened.status != kv5::Opened::Status::kOpened) {
    Print(stderr, opened.messages);
    return 1;
  }

  // The text has CR LF line ends of its own: Windows must not add a CR.
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const kv5::Exported exported = opened.session->ExportText(/*aligned=*/false);
  Print(stdout, exported.text);
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fputs("kv5export: cannot write the text\n", stderr);
    return 1;
  }
  return 0;
}

#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "save/span.h"

namespace kv5 {

// An open C stream that closes itself. Files are always opened in binary mode
// so the bytes on disk are exactly the bytes the tool reads and writes.
class File {
 public:
  File() = default;
  static File Open(const std::string& path, const char* mode);

  explicit operator bool() const { return handle_ != nullptr; }
  std::FILE* get() const { return handle_.get(); }

  // The file's length, taken by seeking to its end; the position is back at
  // the start afterwards. Empty when the stream cannot seek.
  std::optional<std::int64_t> Length();

  // Reads exactly `size` bytes from the current position and checks that the
  // file ends there. Empty when the file is shorter, longer or unreadable.
  // `Bytes` is a vector of bytes; its allocator may differ.
  template <typename Bytes = std::vector<std::uint8_t>>
  std::optional<Bytes> ReadExactly(std::int64_t size) {
    if (size < 0 || static_cast<std::uint64_t>(size) > SIZE_MAX) return std::nullopt;
    Bytes bytes;
    try {
      bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
      return std::nullopt;
    }
    if (!ReadWhole(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
  }

  // Closes the stream now and reports whether everything written reached it.
  bool Close();

 private:
  // Fills `data` from the current position; false unless the file ends
  // right after it.
  bool ReadWhole(std::uint8_t* data, std::size_t size);

  struct Closer {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
  };
  std::unique_ptr<std::FILE, Closer> handle_;
};

// A file being written. Nothing it holds counts until Commit() succeeds: a
// write, flush or close that fails, or an OutputFile dropped without a
// commit, removes the file, so a half-written file never looks finished.
class OutputFile {
 public:
  enum class Durability { kBuffered, kSyncToDisk };

  // Creates or truncates `path`; check with is_open().
  explicit OutputFile(std::string path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return static_cast<bool>(file_); }
  const std::string& path() const { return path_; }

  void Write(const void* data, std::size_t size);
  void Write(const std::string& text) { Write(text.data(), text.size()); }

  // Flushes (and with kSyncToDisk forces the data onto the disk) and closes.
  // On any failure, now or in an earlier write, removes the file and returns
  // false.
  bool Commit(Durability durability);

 private:
  void Abandon();

  std::string path_;
  File file_;
  bool failed_ = false;
};

// The tool's reports of an output file that failed, for every file it writes.
// True when `file` was created; otherwise reports
// "Error: Couldn't open file <name> for writing".
bool CreatedOrReported(const OutputFile& file);
// Commits `file`; when that fails reports "Error: Couldn't write file <name>".
bool CommittedOrReported(OutputFile& file, OutputFile::Durability durability);
// Writes `bytes` as the whole file `name`, reporting either failure.
bool WriteWholeFile(const std::string& name, ConstByteSpan bytes,
                    OutputFile::Durability durability);

// Creates a directory; one that already exists is fine, and the result is
// not examined: a later open in it reports any real trouble.
void MakeDirectory(const std::string& name);

// Puts `from` in place of `to` in one step, so `to` always names a whole file.
bool MoveFileOnto(const std::string& from, const std::string& to);

// Whether both names lead to one existing file, whatever way they are written.
bool IsSameFile(const std::string& one, const std::string& other);

}  // namespace kv5

#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "save/platform.h"
#include "save/reporter.h"
#include "save/span.h"

namespace kv5 {

// An open C stream that closes itself. Files are always opened in binary mode
// so the bytes on disk are exactly the bytes the tool reads and writes.
class File {
 public:
  File() = default;
  // Takes over an open stream; closes it in the end.
  explicit File(std::FILE* stream) : handle_(stream) {}
  static File Open(const std::string& path, const char* mode);
  // Opens a file to read without waiting, as a FIFO would make an open wait
  // for a writer; check IsRegular() before reading a file that must be one.
  static File OpenWithoutWaiting(const std::string& path);

  explicit operator bool() const { return handle_ != nullptr; }
  std::FILE* get() const { return handle_.get(); }
  bool IsRegular() const;

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

// A file being written. Nothing it holds counts until Commit() succeeds.
//
// A file is replaced whole or not at all: the bytes go to a temporary file
// beside it, which takes the file's name only once complete, so a failure
// or a killed run leaves the file that had the name as it was. Where the
// name is a symbolic link, the link stays and the file it leads to is
// replaced. A name that leads to no regular file (a device, a FIFO) is
// written to directly.
//
// kInPlace writes the file under its own name, created or truncated, for
// the new save, which has a name of its own beside the save.
//
// A write, flush, sync, close or rename that fails, or an OutputFile
// dropped without a commit, removes the regular file written, so a
// half-written file never looks finished.
class OutputFile {
 public:
  enum class Durability { kBuffered, kSyncToDisk };
  enum class Placement { kReplaceWhole, kInPlace };

  // Check with is_open() that the file could be created. A directory or a
  // file this process may not write is not replaced.
  explicit OutputFile(std::string path, Placement placement = Placement::kReplaceWhole);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return static_cast<bool>(file_); }
  const std::string& path() const { return path_; }

  // Gives the file the permission bits of the file `model`.
  void CopyPermissionsFrom(const std::string& model);

  void Write(const void* data, std::size_t size);
  void Write(const std::string& text) { Write(text.data(), text.size()); }

  // Flushes (and with kSyncToDisk forces the data onto the disk), closes and
  // puts the file in place. On any failure, now or in an earlier write,
  // removes the file written and returns false.
  bool Commit(Durability durability);

 private:
  void Abandon();

  std::string path_;      // the name the messages give
  std::string written_;   // the file being written
  std::string replaces_;  // where it goes once complete; empty when in place
  File file_;
  bool removable_ = false;  // a regular file of this run's making
  bool failed_ = false;
};

// The tool's reports of an output file that failed, for every file it writes.
// True when `file` was created; otherwise reports
// "Error: Couldn't open file <name> for writing".
bool CreatedOrReported(const OutputFile& file, Reporter& report);
// Commits `file`; when that fails reports "Error: Couldn't write file <name>".
bool CommittedOrReported(OutputFile& file, OutputFile::Durability durability, Reporter& report);
// Writes `bytes` as the whole file `name`, reporting either failure.
bool WriteWholeFile(const std::string& name, ConstByteSpan bytes, OutputFile::Durability durability,
                    Reporter& report);

using platform::IsSameFile;
using platform::MakeDirectory;

// Puts `from` in place of `to` in one step, so `to` always names a whole file,
// and waits until the move is on the disk.
bool MoveFileOnto(const std::string& from, const std::string& to);

}  // namespace kv5

#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Every call the tool makes to the operating system's files, in one place.
// Paths are UTF-8 text as the command line gave them; each function hands
// its path to the system in the form the system takes.

namespace kv5::platform {

// What a name leads to once links are followed.
enum class FileKind { kMissing, kRegular, kDirectory, kOther };
FileKind KindOf(const std::string& path);
// What an open stream is.
FileKind KindOf(std::FILE* stream);

std::FILE* OpenFile(const std::string& path, const char* mode);
// Opens a file to read without waiting for a writer, as opening a FIFO
// otherwise would; check with KindOf what it is before reading.
std::FILE* OpenWithoutWaiting(const std::string& path);
// Creates a file for writing under a fresh name in the directory of
// `beside`, never taking over an existing entry, with the permission bits a
// new file gets (0666 less the umask). `created` receives its name.
std::FILE* CreateTemporaryBeside(const std::string& beside, std::string& created);

// Whether this process may write to the existing file.
bool MayWrite(const std::string& path);
// The name a chain of symbolic links ends at: the file that writing through
// `path` would change. The name itself when it is no link.
std::string ResolveLinks(const std::string& path);
// Gives the open regular file the permission bits of the file `model`;
// nothing else (a device, a missing model) changes.
void CopyPermissions(std::FILE* stream, const std::string& model);

bool SeekTo(std::FILE* stream, std::int64_t offset, int whence);
std::int64_t Tell(std::FILE* stream);
// Waits until the written data is on the disk. Devices and pipes, which
// cannot be synced, have nothing more to wait for.
bool SyncToDisk(std::FILE* stream);
// The same for the directory holding `path`, so that a rename in it lasts;
// only as far as the system allows.
void SyncDirectoryOf(const std::string& path);

// Puts `from` in place of `to` in one step, so `to` always names a whole file.
bool RenameOnto(const std::string& from, const std::string& to);
void RemoveFile(const std::string& path);
// An existing directory is fine; any real trouble shows at the next open.
void MakeDirectory(const std::string& path);
// Whether both names lead to one existing file, whatever way they are written.
bool IsSameFile(const std::string& one, const std::string& other);

// Held by a run that replaces a save, from before it loads the save until
// after the new save took its place, so that two runs on one save take turns
// and the second loads what the first wrote. Taking it waits, without a time
// limit, while another run holds it.
class SaveLock {
 public:
  SaveLock() = default;
  explicit SaveLock(const std::string& save_path);
  ~SaveLock();
  SaveLock(SaveLock&& other) noexcept;
  SaveLock& operator=(SaveLock&& other) noexcept;
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;

 private:
  void Release();
#ifdef _WIN32
  void* mutex_ = nullptr;
#else
  int descriptor_ = -1;
#endif
};

}  // namespace kv5::platform

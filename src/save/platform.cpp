#include "save/platform.h"

#include <cerrno>
#include <utility>

#include "save/path.h"

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv5::platform {
namespace {

// The directory part of a path, separator included; empty for a bare name.
std::string DirectoryOf(const std::string& path) {
  return path.substr(0, path.size() - FileNameOf(path).size());
}

// A name no run has used in the directory: the process id keeps two runs
// apart, the attempt number the names within one run.
std::string TemporaryName(const std::string& directory, int attempt) {
#ifdef _WIN32
  const int process = _getpid();
#else
  const int process = static_cast<int>(getpid());
#endif
  return directory + ".kv5save-" + std::to_string(process) + "-" + std::to_string(attempt) + ".tmp";
}

constexpr int kTemporaryNameAttempts = 100;

}  // namespace

#ifdef _WIN32

namespace {

// Windows names files in UTF-16, and its narrow calls pass a name through the
// code page, which holds few of the characters a name may have. The tool
// holds every path in UTF-8, as its command line arrived, and turns it into
// UTF-16 at each call to the system.
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wide_length);
  return wide;
}

// Windows opens a directory only when asked to, and then as a handle that
// reads nothing. A directory given where a file is read is opened so, and is
// then reported as a file that cannot be read, as on other systems; as a
// missing file it would send the player looking for the wrong fault.
std::FILE* OpenDirectoryToRead(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return nullptr;
  }
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* stream = _fdopen(descriptor, "rb");
  if (stream == nullptr) _close(descriptor);
  return stream;
}

FileKind KindFromMode(unsigned mode) {
  if ((mode & _S_IFMT) == _S_IFREG) return FileKind::kRegular;
  if ((mode & _S_IFMT) == _S_IFDIR) return FileKind::kDirectory;
  return FileKind::kOther;
}

}  // namespace

FileKind KindOf(const std::string& path) {
  struct _stat64 status {};
  if (_wstat64(Wide(path).c_str(), &status) != 0) return FileKind::kMissing;
  return KindFromMode(status.st_mode);
}

FileKind KindOf(std::FILE* stream) {
  // The C runtime takes a directory opened as above for a file; the
  // handle's own attributes tell.
  BY_HANDLE_FILE_INFORMATION info{};
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (GetFileInformationByHandle(handle, &info) != 0 &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileKind::kDirectory;
  }
  struct _stat64 status {};
  if (_fstat64(_fileno(stream), &status) != 0) return FileKind::kMissing;
  return KindFromMode(status.st_mode);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  const std::wstring wide_path = Wide(path);
  std::FILE* stream = _wfopen(wide_path.c_str(), Wide(mode).c_str());
  if (stream == nullptr && mode[0] == 'r') stream = OpenDirectoryToRead(wide_path);
  return stream;
}

// Windows has no FIFOs to wait on.
std::FILE* OpenWithoutWaiting(const std::string& path) { return OpenFile(path, "rb"); }

std::FILE* CreateTemporaryBeside(const std::string& beside, std::string& created) {
  const std::string directory = DirectoryOf(beside);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    created = TemporaryName(directory, attempt);
    const int descriptor =
        _wopen(Wide(created).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
    if (descriptor >= 0) {
      std::FILE* stream = _fdopen(descriptor, "wb");
      if (stream == nullptr) {
        _close(descriptor);
        RemoveFile(created);
      }
      return stream;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool MayWrite(const std::string& path) { return _waccess(Wide(path).c_str(), 2) == 0; }

// Links are followed by the system at every open on Windows.
std::string ResolveLinks(const std::string& path) { return path; }

// Windows keeps only a read-only flag, and a read-only save could not have
// been replaced in the first place.
void CopyPermissions(std::FILE*, const std::string&) {}

bool SeekTo(std::FILE* stream, std::int64_t offset, int whence) {
  return _fseeki64(stream, offset, whence) == 0;
}

std::int64_t Tell(std::FILE* stream) { return _ftelli64(stream); }

bool SyncToDisk(std::FILE* stream) { return _commit(_fileno(stream)) == 0; }

// The moves are made with MOVEFILE_WRITE_THROUGH, which waits for the disk.
void SyncDirectoryOf(const std::string&) {}

bool RenameOnto(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void MakeDirectory(const std::string& path) { _wmkdir(Wide(path).c_str()); }

bool IsSameFile(const std::string& one, const std::string& other) {
  struct Identity {
    bool found = false;
    BY_HANDLE_FILE_INFORMATION info{};
  };
  const auto identify = [](const std::string& name) {
    Identity identity;
    const HANDLE handle =
        CreateFileW(Wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return identity;
    identity.found = GetFileInformationByHandle(handle, &identity.info) != 0;
    CloseHandle(handle);
    return identity;
  };
  const Identity a = identify(one);
  const Identity b = identify(other);
  return a.found && b.found && a.info.dwVolumeSerialNumber == b.info.dwVolumeSerialNumber &&
         a.info.nFileIndexHigh == b.info.nFileIndexHigh &&
         a.info.nFileIndexLow == b.info.nFileIndexLow;
}

// Windows will not replace a file that another run holds open, so the lock
// is not on the save itself but a named mutex, one per save: its name comes
// from the save's full path, written in small letters as Windows compares
// names.
SaveLock::SaveLock(const std::string& save_path) {
  const std::wstring wide_path = Wide(save_path);
  const DWORD size = GetFullPathNameW(wide_path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(wide_path.c_str(), size, full.data(), nullptr));
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (wchar_t c : full) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211u;
  }
  char name[40];
  std::snprintf(name, sizeof name, "kv5save-%016llx", static_cast<unsigned long long>(hash));
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  if (mutex == nullptr) return;
  // An abandoned mutex is held all the same: the run before ended without
  // releasing it, and its new save either took the save's place or not.
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  mutex_ = mutex;
}

void SaveLock::Release() {
  if (mutex_ == nullptr) return;
  ReleaseMutex(static_cast<HANDLE>(mutex_));
  CloseHandle(static_cast<HANDLE>(mutex_));
  mutex_ = nullptr;
}

SaveLock::SaveLock(SaveLock&& other) noexcept : mutex_(std::exchange(other.mutex_, nullptr)) {}

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    Release();
    mutex_ = std::exchange(other.mutex_, nullptr);
  }
  return *this;
}

#else

namespace {

FileKind KindFromMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

bool SameIdentity(const struct stat& one, const struct stat& other) {
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

}  // namespace

FileKind KindOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return FileKind::kMissing;
  return KindFromMode(status.st_mode);
}

FileKind KindOf(std::FILE* stream) {
  struct stat status {};
  if (fstat(fileno(stream), &status) != 0) return FileKind::kMissing;
  return KindFromMode(status.st_mode);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::FILE* OpenWithoutWaiting(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = fdopen(descriptor, "rb");
  if (stream == nullptr) close(descriptor);
  return stream;
}

std::FILE* CreateTemporaryBeside(const std::string& beside, std::string& created) {
  const std::string directory = DirectoryOf(beside);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    created = TemporaryName(directory, attempt);
    const int descriptor = open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      std::FILE* stream = fdopen(descriptor, "wb");
      if (stream == nullptr) {
        close(descriptor);
        RemoveFile(created);
      }
      return stream;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool MayWrite(const std::string& path) { return access(path.c_str(), W_OK) == 0; }

std::string ResolveLinks(const std::string& path) {
  constexpr int kMostLinks = 40;  // as the system follows them
  std::string resolved = path;
  for (int link = 0; link < kMostLinks; ++link) {
    std::string target(4096, '\0');
    const ssize_t length = readlink(resolved.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) break;
    target.resize(static_cast<std::size_t>(length));
    resolved = target[0] == '/' ? target : DirectoryOf(resolved) + target;
  }
  return resolved;
}

void CopyPermissions(std::FILE* stream, const std::string& model) {
  struct stat status {};
  if (stat(model.c_str(), &status) != 0 || KindOf(stream) != FileKind::kRegular) return;
  // Only the permission bits: a failure leaves the bits a new file gets.
  (void)fchmod(fileno(stream), status.st_mode & 0777);
}

bool SeekTo(std::FILE* stream, std::int64_t offset, int whence) {
  return fseeko(stream, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t Tell(std::FILE* stream) { return static_cast<std::int64_t>(ftello(stream)); }

bool SyncToDisk(std::FILE* stream) {
  if (fsync(fileno(stream)) == 0) return true;
  return errno == EINVAL || errno == ENOTSUP;
}

void SyncDirectoryOf(const std::string& path) {
  std::string directory = DirectoryOf(path);
  if (directory.empty()) directory = ".";
  const int descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  // The file itself is complete whatever this gives; a failure could only
  // bring the old file back after a crash, never a torn one.
  (void)fsync(descriptor);
  close(descriptor);
}

bool RenameOnto(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void MakeDirectory(const std::string& path) { mkdir(path.c_str(), 0777); }

bool IsSameFile(const std::string& one, const std::string& other) {
  struct stat a {};
  struct stat b {};
  return stat(one.c_str(), &a) == 0 && stat(other.c_str(), &b) == 0 && SameIdentity(a, b);
}

// An advisory lock on the save file itself. A run that waited may find the
// save replaced by the run before: its lock was on the old file, so it locks
// the file the name now gives. A save that cannot be opened or is no regular
// file is not locked; the load reports it.
SaveLock::SaveLock(const std::string& save_path) {
  for (;;) {
    const int descriptor = open(save_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return;
    struct stat locked {};
    int locking = -1;
    if (fstat(descriptor, &locked) == 0 && S_ISREG(locked.st_mode)) {
      while ((locking = flock(descriptor, LOCK_EX)) != 0 && errno == EINTR) {
      }
    }
    // Where the file system has no locks the run goes on as a single run.
    if (locking != 0) {
      close(descriptor);
      return;
    }
    struct stat named {};
    if (stat(save_path.c_str(), &named) == 0 && SameIdentity(named, locked)) {
      descriptor_ = descriptor;
      return;
    }
    close(descriptor);
  }
}

void SaveLock::Release() {
  if (descriptor_ < 0) return;
  close(descriptor_);
  descriptor_ = -1;
}

SaveLock::SaveLock(SaveLock&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    Release();
    descriptor_ = std::exchange(other.descriptor_, -1);
  }
  return *this;
}

#endif

SaveLock::~SaveLock() { Release(); }

void RemoveFile(const std::string& path) {
#ifdef _WIN32
  _wremove(Wide(path).c_str());
#else
  std::remove(path.c_str());
#endif
}

}  // namespace kv5::platform

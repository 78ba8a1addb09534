#include "save/file.h"

#include <cerrno>
#include <utility>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv5 {
namespace {

bool SeekTo(std::FILE* stream, std::int64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(stream, offset, whence) == 0;
#else
  return fseeko(stream, static_cast<off_t>(offset), whence) == 0;
#endif
}

std::int64_t Tell(std::FILE* stream) {
#ifdef _WIN32
  return _ftelli64(stream);
#else
  return static_cast<std::int64_t>(ftello(stream));
#endif
}

// Some systems open a directory like a file, and give it a length that is no
// length at all.
bool IsDirectory(std::FILE* stream) {
#ifdef _WIN32
  (void)stream;
  return false;
#else
  struct stat status {};
  return fstat(fileno(stream), &status) == 0 && S_ISDIR(status.st_mode);
#endif
}

bool SyncToDisk(std::FILE* stream) {
#ifdef _WIN32
  return _commit(_fileno(stream)) == 0;
#else
  if (fsync(fileno(stream)) == 0) return true;
  // Devices and pipes cannot be synced; there is nothing more to wait for.
  return errno == EINVAL || errno == ENOTSUP;
#endif
}

}  // namespace

File File::Open(const std::string& path, const char* mode) {
  File file;
  file.handle_.reset(std::fopen(path.c_str(), mode));
  return file;
}

std::optional<std::int64_t> File::Length() {
  std::FILE* stream = handle_.get();
  if (IsDirectory(stream) || !SeekTo(stream, 0, SEEK_END)) return std::nullopt;
  const std::int64_t length = Tell(stream);
  if (length < 0 || !SeekTo(stream, 0, SEEK_SET)) return std::nullopt;
  return length;
}

bool File::ReadWhole(std::uint8_t* data, std::size_t size) {
  std::FILE* stream = handle_.get();
  if (std::fread(data, 1, size, stream) != size) return false;
  // The file must end where its length said: a directory, a device or a file
  // that grew meanwhile is not read whole.
  return std::fgetc(stream) == EOF && !std::ferror(stream);
}

bool File::Close() {
  std::FILE* stream = handle_.release();
  return stream == nullptr || std::fclose(stream) == 0;
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)), file_(File::Open(path_, "wb")) {}

OutputFile::~OutputFile() {
  if (file_) Abandon();
}

void OutputFile::Write(const void* data, std::size_t size) {
  if (failed_ || !file_ || size == 0) return;
  failed_ = std::fwrite(data, 1, size, file_.get()) != size;
}

bool OutputFile::Commit(Durability durability) {
  if (!file_) return false;
  std::FILE* stream = file_.get();
  bool written = !failed_ && std::fflush(stream) == 0 && !std::ferror(stream);
  if (written && durability == Durability::kSyncToDisk) written = SyncToDisk(stream);
  written = file_.Close() && written;
  if (!written) std::remove(path_.c_str());
  return written;
}

void OutputFile::Abandon() {
  file_.Close();
  std::remove(path_.c_str());
}

bool CreatedOrReported(const OutputFile& file) {
  if (!file.is_open())
    std::printf("Error: Couldn't open file %s for writing\n", file.path().c_str());
  return file.is_open();
}

bool CommittedOrReported(OutputFile& file, OutputFile::Durability durability) {
  const bool committed = file.Commit(durability);
  if (!committed) std::printf("Error: Couldn't write file %s\n", file.path().c_str());
  return committed;
}

bool WriteWholeFile(const std::string& name, ConstByteSpan bytes,
                    OutputFile::Durability durability) {
  OutputFile file(name);
  if (!CreatedOrReported(file)) return false;
  file.Write(bytes.data(), bytes.size());
  return CommittedOrReported(file, durability);
}

void MakeDirectory(const std::string& name) {
#ifdef _WIN32
  _mkdir(name.c_str());
#else
  mkdir(name.c_str(), 0777);
#endif
}

bool MoveFileOnto(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool IsSameFile(const std::string& one, const std::string& other) {
#ifdef _WIN32
  struct Identity {
    bool found = false;
    BY_HANDLE_FILE_INFORMATION info{};
  };
  const auto identify = [](const std::string& name) {
    Identity identity;
    const HANDLE handle =
        CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
#else
  struct stat a {};
  struct stat b {};
  return stat(one.c_str(), &a) == 0 && stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
#endif
}

}  // namespace kv5

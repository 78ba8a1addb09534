#include "save/file.h"

#include <utility>

namespace kv5 {

File File::Open(const std::string& path, const char* mode) {
  return File(platform::OpenFile(path, mode));
}

File File::OpenWithoutWaiting(const std::string& path) {
  return File(platform::OpenWithoutWaiting(path));
}

bool File::IsRegular() const {
  return handle_ && platform::KindOf(handle_.get()) == platform::FileKind::kRegular;
}

std::optional<std::int64_t> File::Length() {
  std::FILE* stream = handle_.get();
  // Some systems open a directory like a file, and give it a length that is
  // no length at all.
  if (platform::KindOf(stream) == platform::FileKind::kDirectory ||
      !platform::SeekTo(stream, 0, SEEK_END)) {
    return std::nullopt;
  }
  const std::int64_t length = platform::Tell(stream);
  if (length < 0 || !platform::SeekTo(stream, 0, SEEK_SET)) return std::nullopt;
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

OutputFile::OutputFile(std::string path, Placement placement) : path_(std::move(path)) {
  using platform::FileKind;
  if (placement == Placement::kInPlace) {
    written_ = path_;
    file_ = File::Open(written_, "wb");
    removable_ = file_.IsRegular();
    return;
  }
  const std::string target = platform::ResolveLinks(path_);
  switch (platform::KindOf(target)) {
    case FileKind::kDirectory:
      return;
    case FileKind::kOther:
      written_ = target;
      file_ = File::Open(written_, "wb");
      return;
    case FileKind::kRegular:
      if (!platform::MayWrite(target)) return;
      break;
    case FileKind::kMissing:
      break;
  }
  // Everything that may run out of memory comes before the file exists: a
  // constructor that throws leaves no destructor to remove it.
  replaces_ = target;
  removable_ = true;
  file_ = File(platform::CreateTemporaryBeside(target, written_));
}

OutputFile::~OutputFile() {
  if (file_) Abandon();
}

void OutputFile::CopyPermissionsFrom(const std::string& model) {
  if (file_) platform::CopyPermissions(file_.get(), model);
}

void OutputFile::Write(const void* data, std::size_t size) {
  if (failed_ || !file_ || size == 0) return;
  failed_ = std::fwrite(data, 1, size, file_.get()) != size;
}

bool OutputFile::Commit(Durability durability) {
  if (!file_) return false;
  const bool sync = durability == Durability::kSyncToDisk;
  std::FILE* stream = file_.get();
  bool written = !failed_ && std::fflush(stream) == 0 && !std::ferror(stream);
  if (written && sync) written = platform::SyncToDisk(stream);
  written = file_.Close() && written;
  if (written && !replaces_.empty()) {
    written = platform::RenameOnto(written_, replaces_);
    if (written && sync) platform::SyncDirectoryOf(replaces_);
  }
  if (!written && removable_) platform::RemoveFile(written_);
  return written;
}

void OutputFile::Abandon() {
  file_.Close();
  if (removable_) platform::RemoveFile(written_);
}

bool CreatedOrReported(const OutputFile& file, Reporter& report) {
  if (!file.is_open())
    report.Say("Error: Couldn't open file %s for writing\n", file.path().c_str());
  return file.is_open();
}

bool CommittedOrReported(OutputFile& file, OutputFile::Durability durability, Reporter& report) {
  const bool committed = file.Commit(durability);
  if (!committed) report.Say("Error: Couldn't write file %s\n", file.path().c_str());
  return committed;
}

bool WriteWholeFile(const std::string& name, ConstByteSpan bytes, OutputFile::Durability durability,
                    Reporter& report) {
  OutputFile file(name);
  if (!CreatedOrReported(file, report)) return false;
  file.Write(bytes.data(), bytes.size());
  return CommittedOrReported(file, durability, report);
}

bool MoveFileOnto(const std::string& from, const std::string& to) {
  if (!platform::RenameOnto(from, to)) return false;
  platform::SyncDirectoryOf(to);
  return true;
}

}  // namespace kv5

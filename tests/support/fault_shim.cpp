// Loaded into kv5save with LD_PRELOAD, makes one of its calls to the world
// outside fail as a failing disk or a full memory would. The tool works
// through stdio, whose own calls into the system a wrapper cannot see, so
// the stdio calls are wrapped: opening a file for writing, fwrite, fflush,
// fsync, fclose of a file opened for writing, rename; fread and fgets of its
// files; and operator new. A directory's fsync is not counted: the tool
// makes it only after the file is in place, where a failure can no longer
// tear anything.
//
//   KV5_FAULT_AT     N: the Nth such call fails; 0 only counts the calls
//   KV5_FAULT_LOG    a file that gets a line per call ("fwrite", and
//                    "fwrite failed" for the one that failed)

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int RealOpen(const char* path, int flags, mode_t mode = 0) {
  return Real<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

// Counts and logs the call; true when it is the one to fail, with errno EIO.
bool Fails(const char* call) {
  static long count = 0;
  static const char* const log = std::getenv("KV5_FAULT_LOG");
  static const int descriptor =
      log ? RealOpen(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  const char* at = std::getenv("KV5_FAULT_AT");
  const bool fails = at != nullptr && ++count == std::atol(at);
  if (descriptor >= 0) dprintf(descriptor, "%s%s\n", call, fails ? " failed" : "");
  if (fails) errno = EIO;
  return fails;
}

// The tool's own files, not the console it reports to.
bool IsFile(std::FILE* stream) { return stream != nullptr && stream != stdout && stream != stderr; }

// A read that fails: the stream's descriptor becomes a directory's, so that
// this read, or the next one past what the stream holds, fails in the
// system and sets the stream's error flag.
void BreakReading(std::FILE* stream) {
  const int directory = RealOpen("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  dup2(directory, fileno(stream));
  close(directory);
}

}  // namespace

void* operator new(std::size_t size) {
  static const auto real_new = Real<void* (*)(std::size_t)>("_Znwm");
  if (Fails("new")) throw std::bad_alloc();
  return real_new(size);
}

extern "C" {

int open(const char* path, int flags, ...) {
  va_list rest;
  va_start(rest, flags);
  const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;
  va_end(rest);
  if (((flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT) != 0) && Fails("open")) return -1;
  return RealOpen(path, flags, mode);
}

std::FILE* fopen(const char* path, const char* mode) {
  if (std::strpbrk(mode, "wa+") != nullptr && Fails("fopen")) return nullptr;
  return Real<decltype(&fopen)>("fopen")(path, mode);
}

std::size_t fread(void* data, std::size_t size, std::size_t count, std::FILE* stream) {
  if (IsFile(stream) && Fails("fread")) BreakReading(stream);
  return Real<decltype(&fread)>("fread")(data, size, count, stream);
}

char* fgets(char* line, int size, std::FILE* stream) {
  if (Fails("fgets")) BreakReading(stream);
  return Real<decltype(&fgets)>("fgets")(line, size, stream);
}

std::size_t fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* stream) {
  if (IsFile(stream) && Fails("fwrite")) return 0;
  return Real<decltype(&fwrite)>("fwrite")(data, size, count, stream);
}

int fflush(std::FILE* stream) {
  if (IsFile(stream) && Fails("fflush")) return EOF;
  return Real<decltype(&fflush)>("fflush")(stream);
}

int fsync(int descriptor) {
  struct stat status {};
  const bool directory = fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
  if (!directory && Fails("fsync")) return -1;
  return Real<decltype(&fsync)>("fsync")(descriptor);
}

// A failing close still releases the stream, as the system's does.
int fclose(std::FILE* stream) {
  const bool fails =
      IsFile(stream) && (fcntl(fileno(stream), F_GETFL) & O_ACCMODE) != O_RDONLY && Fails("fclose");
  const int closed = Real<decltype(&fclose)>("fclose")(stream);
  if (fails) errno = EIO;
  return fails ? EOF : closed;
}

int rename(const char* from, const char* to) {
  if (Fails("rename")) return -1;
  return Real<decltype(&rename)>("rename")(from, to);
}

}  // extern "C"

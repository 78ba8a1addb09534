#include "support/tool_session.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/run_record.h"

namespace kv5::testing {
namespace fs = std::filesystem;
namespace {

bool Writable(const std::string& directory) {
  const std::string probe = directory + "/.probe";
  const int fd = open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

void SetImmutable(const std::string& directory, bool immutable) {
#ifdef __linux__
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  int flags = 0;
  if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ioctl(fd, FS_IOC_SETFLAGS, &flags);
  }
  close(fd);
#else
  (void)directory;
  (void)immutable;
#endif
}

}  // namespace

ToolSession::ToolSession() {
  std::string pattern = (fs::temp_directory_path() / "kv5save-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary directory";
  directory_ = pattern;
}

ToolSession::~ToolSession() {
  std::error_code ignored;
  // Tests may take write permission from a directory; give it back first.
  SetImmutable(directory_, false);
  fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const auto& item : fs::recursive_directory_iterator(directory_, ignored)) {
    if (item.is_directory(ignored) && !item.is_symlink(ignored)) {
      SetImmutable(item.path().string(), false);
      fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(directory_, ignored);
}

std::string ToolSession::PathOf(const std::string& name) const {
  return (fs::path(directory_) / name).string();
}

std::string ToolSession::DirectoryForTool() const {
  if (!ToolIsWindowsBuild()) return directory_;
  std::string path = "Z:" + directory_;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void ToolSession::Write(const std::string& name, const Bytes& bytes) const {
  std::ofstream out(PathOf(name), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "couldn't write " << name;
}

void ToolSession::Write(const std::string& name, const std::string& text) const {
  Write(name, Bytes(text.begin(), text.end()));
}

Bytes ToolSession::Read(const std::string& name) const {
  std::ifstream in(PathOf(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << "couldn't read " << name;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ToolSession::ReadText(const std::string& name) const {
  const Bytes bytes = Read(name);
  return std::string(bytes.begin(), bytes.end());
}

bool ToolSession::Exists(const std::string& name) const {
  std::error_code ignored;
  return fs::symlink_status(PathOf(name), ignored).type() != fs::file_type::not_found;
}

bool ToolSession::MakeReadOnly(const std::string& directory) const {
  const std::string path = PathOf(directory);
  std::error_code ignored;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove, ignored);
  if (Writable(path)) SetImmutable(path, true);
  return !Writable(path);
}

std::vector<std::string> ToolSession::List(const std::string& directory) const {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& item : fs::directory_iterator(PathOf(directory), ignored)) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

// The binary to run: the build beside the tests, or KV5SAVE_UNDER_TEST.
std::string ToolUnderTest() {
  const char* under_test = std::getenv("KV5SAVE_UNDER_TEST");
  return under_test != nullptr ? under_test : KV5SAVE_BINARY;
}

std::string WithoutCarriageReturnsBeforeLineFeeds(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  }
  return out;
}

}  // namespace

bool ToolIsWindowsBuild() {
  const std::string binary = ToolUnderTest();
  return binary.size() >= 4 && binary.compare(binary.size() - 4, 4, ".exe") == 0;
}

ToolSession::Running ToolSession::Start(const std::vector<std::string>& arguments) const {
  const std::string binary = ToolUnderTest();
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) {
    ADD_FAILURE() << "no pipe";
    return {};
  }
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_ends[1], STDOUT_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    if (chdir(directory_.c_str()) != 0) _exit(126);
    std::vector<std::string> words;
    if (const char* launcher = std::getenv("KV5SAVE_LAUNCHER")) {
      std::istringstream split(launcher);
      for (std::string word; split >> word;) words.push_back(word);
    }
    words.push_back(binary);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  return {child, pipe_ends[0]};
}

std::string ToolSession::Finish(Running running, int status) const {
  if (running.process < 0) return {};
  std::string output;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = read(running.output, chunk, sizeof chunk)) > 0)
    output.append(chunk, static_cast<std::size_t>(got));
  close(running.output);
  int ended = 0;
  waitpid(running.process, &ended, 0);
  EXPECT_TRUE(WIFEXITED(ended)) << "kv5save did not exit normally";
  EXPECT_EQ(WEXITSTATUS(ended), status) << "kv5save's exit status";
  return ToolIsWindowsBuild() ? WithoutCarriageReturnsBeforeLineFeeds(output) : output;
}

std::string ToolSession::Run(const std::vector<std::string>& arguments, int status) const {
  RunRecord record(directory_, arguments);
  std::string output = Finish(Start(arguments), status);
  record.Finish(status, output);
  return output;
}

StdoutCapture::StdoutCapture() { ::testing::internal::CaptureStdout(); }

StdoutCapture::~StdoutCapture() {
  if (!taken_) Take();
}

std::string StdoutCapture::Take() {
  taken_ = true;
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace kv5::testing

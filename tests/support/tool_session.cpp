#include "support/tool_session.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/run_record.h"

namespace kv5::testing {
namespace fs = std::filesystem;
namespace {

// The binary to run: the build beside the tests, or KV5SAVE_UNDER_TEST.
std::string ToolUnderTest() {
  return std::getenv("KV5SAVE_UNDER_TEST") ? std::getenv("KV5SAVE_UNDER_TEST") : KV5SAVE_BINARY;
}

// A word for the shell, as it is.
std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

ToolSession::ToolSession() : directory_(fs::temp_directory_path() / "kv5save-XXXXXX") {
  if (mkdtemp(directory_.data()) == nullptr) ADD_FAILURE() << "no temporary directory";
}

ToolSession::~ToolSession() {
  std::error_code ignored;
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

void ToolSession::Write(const std::string& name, const std::string& text) const {
  std::ofstream out(PathOf(name), std::ios::binary);
  EXPECT_TRUE(out << text) << "couldn't write " << name;
}

std::string ToolSession::ReadText(const std::string& name) const {
  EXPECT_TRUE(fs::is_regular_file(PathOf(name))) << "couldn't read " << name;
  return ReadFile(PathOf(name));
}

std::vector<std::string> ToolSession::List(const std::string& directory) const {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& item : fs::directory_iterator(PathOf(directory), ignored))
    names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The tool runs through the shell, in the session's directory.
ToolSession::Running ToolSession::Start(const std::vector<std::string>& arguments) const {
  const char* launcher = std::getenv("KV5SAVE_LAUNCHER");
  std::string command = "cd " + Quoted(directory_) + " && exec " + (launcher ? launcher : "");
  command += " " + Quoted(ToolUnderTest());
  for (const std::string& word : arguments) command += " " + Quoted(word);
  return popen(command.c_str(), "r");
}

std::string ToolSession::Finish(Running running, int status) const {
  std::string output;
  char chunk[4096];
  for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, running)) > 0;)
    output.append(chunk, got);
  const int ended = pclose(running);
  EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == status)
      << "kv5save ended with " << ended << ", not the exit status " << status;
  // A Windows build's text-mode output ends its lines with CR LF.
  for (std::size_t at = 0; ToolIsWindowsBuild() && (at = output.find("\r\n", at)) != output.npos;)
    output.erase(at, 1);
  return output;
}

std::string ToolSession::Run(const std::vector<std::string>& arguments, int status) const {
  return RecordedRun(directory_, arguments, status,
                     [&] { return Finish(Start(arguments), status); });
}

bool ToolIsWindowsBuild() { return fs::path(ToolUnderTest()).extension() == ".exe"; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::string> FilesUnder(const std::string& directory, std::string* unusable) {
  std::map<std::string, std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(directory)) {
    const fs::file_status status = item.symlink_status();
    const bool empty = fs::is_directory(status) && fs::is_empty(item.path());
    if (fs::is_regular_file(status))
      files[fs::relative(item.path(), directory).generic_string()] = ReadFile(item.path());
    else if (unusable != nullptr && unusable->empty() && (empty || !fs::is_directory(status)))
      *unusable = fs::is_symlink(status) ? "a link"
                  : empty                ? "an empty directory"
                                         : "a device or a pipe";
  }
  return files;
}

}  // namespace kv5::testing

#include "support/run_record.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace kv5::testing {
namespace fs = std::filesystem;
namespace {

std::string Hex(const std::string& text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : text) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0x0F];
  }
  return hex;
}

std::string ReadWhole(const fs::path& path) {
  std::string content(fs::file_size(path), '\0');
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr || std::fread(content.data(), 1, content.size(), file) != content.size())
    ADD_FAILURE() << "couldn't read " << path;
  if (file != nullptr) std::fclose(file);
  return content;
}

// Writes `content` once under the name of its hash and length. The hash is
// FNV-1a taken eight bytes at a time: saves are large, and many.
std::string Blob(const fs::path& record_directory, const std::string& content) {
  std::uint64_t hash = 14695981039346656037ull;
  std::size_t at = 0;
  for (; at + 8 <= content.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, content.data() + at, 8);
    hash = (hash ^ word) * 1099511628211ull;
  }
  for (; at < content.size(); ++at) {
    hash = (hash ^ static_cast<unsigned char>(content[at])) * 1099511628211ull;
  }
  char name[40];
  std::snprintf(name, sizeof name, "%016llx-%zu", static_cast<unsigned long long>(hash),
                content.size());
  const fs::path blob = record_directory / "blobs" / name;
  if (!fs::exists(blob)) {
    // Sessions run in parallel: a whole blob appears in one rename.
    const fs::path part = blob.string() + "." + std::to_string(getpid());
    std::ofstream(part, std::ios::binary) << content;
    fs::rename(part, blob);
  }
  return name;
}

}  // namespace

RunRecord::RunRecord(std::string directory, const std::vector<std::string>& arguments)
    : directory_(std::move(directory)), arguments_(arguments) {
  const char* record_directory = std::getenv("KV5SAVE_RECORD_RUNS");
  if (record_directory == nullptr || std::getenv("KV5SAVE_UNDER_TEST") != nullptr) return;
  record_directory_ = record_directory;
  before_ = Take();
}

RunRecord::Files RunRecord::Take() const {
  Files files;
  const auto unusable = [&files](const std::string& reason) {
    if (files.unusable.empty()) files.unusable = reason;
  };
  if (access(directory_.c_str(), W_OK) != 0) unusable("a directory that cannot be written");
  for (const auto& item : fs::recursive_directory_iterator(directory_)) {
    const fs::file_status status = item.symlink_status();
    const std::string name = fs::relative(item.path(), directory_).generic_string();
    if (fs::is_symlink(status)) {
      unusable("a link");
    } else if (fs::is_directory(status)) {
      if (fs::is_empty(item.path())) unusable("an empty directory");
      if (access(item.path().c_str(), W_OK) != 0) unusable("a directory that cannot be written");
    } else if (fs::is_regular_file(status)) {
      files.contents[name] = ReadWhole(item.path());
    } else {
      unusable("a device or a pipe");
    }
  }
  return files;
}

void RunRecord::Finish(int status, const std::string& output) {
  if (record_directory_.empty()) return;
  const fs::path top(record_directory_);
  fs::create_directories(top / "blobs");
  fs::create_directories(top / "runs");
  static int count = 0;
  const fs::path path = top / "runs" / (std::to_string(getpid()) + "-" + std::to_string(++count));
  std::ofstream record(path);
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  record << "case " << Hex(test != nullptr ? test->name() : "") << "\n";
  const Files after = Take();
  std::string unusable = before_.unusable.empty() ? after.unusable : before_.unusable;
  for (const std::string& argument : arguments_) {
    if (argument[0] == '/' && argument.rfind(directory_ + "/", 0) != 0)
      unusable = "a path outside the session's directory";
  }
  if (!unusable.empty()) {
    record << "skipped " << Hex(unusable) << "\n";
    return;
  }
  record << "directory " << Hex(directory_) << "\n";
  for (const std::string& argument : arguments_) record << "argument " << Hex(argument) << "\n";
  for (const auto& [name, content] : before_.contents)
    record << "before " << Hex(name) << " " << Blob(top, content) << "\n";
  record << "status " << status << "\nstdout " << Blob(top, output) << "\n";
  for (const auto& [name, content] : after.contents)
    record << "after " << Hex(name) << " " << Blob(top, content) << "\n";
}

}  // namespace kv5::testing

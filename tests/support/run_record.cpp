#include "support/run_record.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/tool_session.h"

namespace kv5::testing {
namespace fs = std::filesystem;
namespace {

std::string Hex(const std::string& text) {
  std::string hex;
  for (const unsigned char c : text)
    hex += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
  return hex;
}

// Writes `content` once, under the name of its hash and length.
std::string Blob(const fs::path& record, const std::string& content) {
  const std::string name =
      std::to_string(std::hash<std::string>()(content)) + "-" + std::to_string(content.size());
  if (!fs::exists(record / "blobs" / name)) {
    // Sessions run in parallel: a whole blob appears in one rename.
    const fs::path part = record / "blobs" / (name + "." + std::to_string(getpid()));
    std::ofstream(part, std::ios::binary) << content;
    fs::rename(part, record / "blobs" / name);
  }
  return name;
}

}  // namespace

std::string RecordedRun(const std::string& directory, const std::vector<std::string>& arguments,
                        int status, const std::function<std::string()>& run) {
  const char* record_directory = std::getenv("KV5SAVE_RECORD_RUNS");
  if (record_directory == nullptr || std::getenv("KV5SAVE_UNDER_TEST") != nullptr) return run();
  std::string unusable;
  const auto before = FilesUnder(directory, &unusable);
  const std::string output = run();
  const auto after = FilesUnder(directory, &unusable);
  for (const std::string& argument : arguments) {
    if (argument[0] == '/' && argument.rfind(directory + "/", 0) != 0)
      unusable = "a path outside the session's directory";
  }
  const fs::path top(record_directory);
  fs::create_directories(top / "blobs");
  fs::create_directories(top / "runs");
  static int count = 0;
  std::ofstream out(top / "runs" / (std::to_string(getpid()) + "-" + std::to_string(++count)));
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  out << "case " << Hex(test != nullptr ? test->name() : "") << "\n";
  if (!unusable.empty()) {
    out << "skipped " << Hex(unusable) << "\n";
    return output;
  }
  out << "directory " << Hex(directory) << "\n";
  for (const std::string& argument : arguments) out << "argument " << Hex(argument) << "\n";
  for (const auto& [name, content] : before)
    out << "before " << Hex(name) << " " << Blob(top, content) << "\n";
  out << "status " << status << "\nstdout " << Blob(top, output) << "\n";
  for (const auto& [name, content] : after)
    out << "after " << Hex(name) << " " << Blob(top, content) << "\n";
  return output;
}

}  // namespace kv5::testing

#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kv5::testing {

using Bytes = std::vector<std::uint8_t>;

// A player's session with the real kv5save binary: a fresh temporary
// directory as the current directory, files put there, the tool run with a
// command line, and what it printed and wrote read back.
class ToolSession {
 public:
  ToolSession();
  ~ToolSession();
  ToolSession(const ToolSession&) = delete;
  ToolSession& operator=(const ToolSession&) = delete;

  // The absolute path of a file in the session's directory.
  std::string PathOf(const std::string& name) const;
  // The session's directory as the tool sees it: its absolute path, and for
  // a Windows build under Wine the same on drive Z:, "Z:\tmp\kv5save-...".
  std::string DirectoryForTool() const;

  void Write(const std::string& name, const std::string& text) const;
  void Write(const std::string& name, const Bytes& bytes) const {
    Write(name, std::string(bytes.begin(), bytes.end()));
  }
  std::string ReadText(const std::string& name) const;
  Bytes Read(const std::string& name) const {
    const std::string text = ReadText(name);
    return Bytes(text.begin(), text.end());
  }
  // The names in the directory (or a sub-directory), sorted.
  std::vector<std::string> List(const std::string& directory = ".") const;

  // Runs `kv5save` with the arguments and returns its standard output; it
  // must end with the exit status `status`. KV5SAVE_UNDER_TEST names another
  // build of the tool to run, and KV5SAVE_LAUNCHER a command line to run it
  // with (a memory checker, an emulator). KV5SAVE_RECORD_RUNS writes every
  // run down (support/run_record.h).
  std::string Run(const std::vector<std::string>& arguments, int status = 0) const;

  // The same in two steps, so that several runs can go at once: Start
  // begins a run, Finish waits for its end and checks its status.
  using Running = std::FILE*;
  Running Start(const std::vector<std::string>& arguments) const;
  std::string Finish(Running running, int status = 0) const;

 private:
  std::string directory_;
};

// Whether the tool under test is a Windows build: a ".exe", run under Wine.
// Its standard output is in text mode, so Run() hands back its lines with
// the CR LF line ends turned into LF, as every other build prints them.
bool ToolIsWindowsBuild();

// The whole content of a file, empty when it cannot be read.
std::string ReadFile(const std::string& path);
// The regular files under a directory, by their names from there with "/";
// `unusable`, when given, gets what else the directory holds (the page
// that replays recorded runs can hold only these files).
std::map<std::string, std::string> FilesUnder(const std::string& directory,
                                              std::string* unusable = nullptr);

}  // namespace kv5::testing

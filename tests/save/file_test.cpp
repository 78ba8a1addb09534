#include "save/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::Bytes;
using testing::ToolSession;

TEST(FileTest, AnOutputFileCountsOnlyOnceCommitted) {
  ToolSession dir;
  { OutputFile(dir.PathOf("dropped.bin")).Write(std::string("partial")); }
  EXPECT_FALSE(dir.Exists("dropped.bin"));
  OutputFile file(dir.PathOf("kept.bin"));
  file.Write(std::string("abc"));
  EXPECT_TRUE(file.Commit(OutputFile::Durability::kSyncToDisk));
  EXPECT_EQ(dir.ReadText("kept.bin"), "abc");
}

TEST(FileTest, AFileIsReadWholeOrNotAtAll) {
  ToolSession dir;
  dir.Write("data.bin", std::string("0123456789"));
  EXPECT_EQ(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(10)->size(), 10u);
  EXPECT_FALSE(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(9)) << "longer than expected";
  EXPECT_FALSE(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(11)) << "shorter than expected";
  EXPECT_FALSE(MoveFileOnto(dir.PathOf("missing"), dir.PathOf("data.bin")));
  EXPECT_EQ(dir.ReadText("data.bin"), "0123456789");
}

// Environment variables for the runs a test starts, as they were afterwards.
// The tests below need only the results of their many runs; the sessions
// look for leaks, which would take a sanitized run longer than its work.
class RunEnvironment {
 public:
  RunEnvironment() {
    const char* asan = std::getenv("ASAN_OPTIONS");
    // The sanitizers' runtime would rather come first; the fault shim only
    // wraps it.
    Set("ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0:verify_asan_link_order=0");
  }
  ~RunEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      if (!value) unsetenv(name.c_str());
    }
  }
  void Set(const std::string& name, const std::string& value) {
    if (!saved_.count(name)) {
      const char* before = std::getenv(name.c_str());
      saved_[name] = before ? std::optional<std::string>(before) : std::nullopt;
    }
    setenv(name.c_str(), value.c_str(), 1);
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

// Saves cut after slot 2, so that the many runs below are quick.
Bytes SmallSave(std::uint64_t seed) {
  return builder::SaveBuilder(seed)
      .WithEntry(1)
      .WithEntry(2)
      .WithLength(builder::SlotStart(3))
      .Build();
}

Bytes EntryFile() {
  const Bytes save = SmallSave(9);
  const auto start = save.begin() + static_cast<long>(builder::SlotStart(1));
  return Bytes(start, start + 29832);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

// One kind of file the tool writes, over a file of that name from before.
struct Output {
  std::vector<std::string> arguments;
  std::string file;   // the file there before the run
  std::string named;  // the name the messages give
};

// Lays out a session for the run; returns the bytes of the file from before.
Bytes Prepare(const ToolSession& s, const Output& output) {
  s.Write("KV5SaveData", SmallSave(1));
  chmod(s.PathOf("KV5SaveData").c_str(), 0640);
  s.Write("edit.txt", std::string("[ENTRY1]\nVoice=42\n"));
  s.Write("entry.bin", EntryFile());
  std::filesystem::create_directory(s.PathOf("save"));
  std::filesystem::create_directory(s.PathOf("thumbnails"));
  if (output.file != "KV5SaveData") {
    s.Write(output.file, "old " + output.file);
    chmod(s.PathOf(output.file).c_str(), 0600);
  }
  return s.Read(output.file);
}

std::vector<std::string> Listing(const ToolSession& s) {
  std::vector<std::string> names = s.List();
  for (const std::string directory : {"save", "thumbnails"}) {
    for (const std::string& name : s.List(directory)) names.push_back(directory + "/" + name);
  }
  return names;
}

// Runs `output`'s command with its `at`th write-side call failing (0: none);
// returns the lines it printed. `calls` gets the write-side calls it made.
std::vector<std::string> RunWithFault(const ToolSession& s, const Output& output, long at,
                                      int error, int status,
                                      std::vector<std::string>* calls = nullptr) {
  RunEnvironment environment;
  const std::string log = s.PathOf("") + "../" + std::to_string(getpid()) + ".calls";
  environment.Set("LD_PRELOAD", KV5_FAULT_SHIM);
  environment.Set("KV5_FAULT_AT", std::to_string(at));
  environment.Set("KV5_FAULT_ERRNO", std::to_string(error));
  environment.Set("KV5_FAULT_LOG", log);
  const std::vector<std::string> printed = Lines(s.Run(output.arguments, status));
  std::ifstream in(log);
  for (std::string line; calls != nullptr && std::getline(in, line);) calls->push_back(line);
  std::remove(log.c_str());
  return printed;
}

// Every write-side call of every kind of output fails in turn, with EIO and
// with ENOSPC: each such run reports the failure, with status 1, and leaves
// the file from before byte for byte and no file of its own behind.
TEST(FileTest, AFileFromBeforeSurvivesAFailureAtEveryWriteSideCall) {
  const mode_t umask_bits = umask(0);
  umask(umask_bits);
  const Output outputs[] = {
      {{"KV5SaveData"}, "KV5SaveData.txt", "KV5SaveData.txt"},
      {{"-x", "KV5SaveData", "2"}, "entry2.bin", "entry2.bin"},
      {{"-p", "-xt", "KV5SaveData", "1"}, "thumbnails/image1.ptc", "thumbnails/image1.ptc"},
      {{"-p", "-rp", "KV5SaveData", "2", "entry.bin"}, "save/KV5SaveData", "save/KV5SaveData"},
      {{"-w", "KV5SaveData", "edit.txt"}, "KV5SaveData", "KV5SaveData.new"},
  };
  for (const Output& output : outputs) {
    const ToolSession clean;
    const Bytes old = Prepare(clean, output);
    const std::vector<std::string> before = Listing(clean);
    std::vector<std::string> calls;
    const std::vector<std::string> done = RunWithFault(clean, output, 0, 0, 0, &calls);
    const Bytes written = clean.Read(output.file);
    EXPECT_NE(written, old) << output.file;
    EXPECT_EQ(Listing(clean), before) << output.file;
    // A replaced file has the bits of a new one; a new save those of the save.
    struct stat status {};
    stat(clean.PathOf(output.file).c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, output.file == "KV5SaveData" ? 0640 : 0666 & ~umask_bits)
        << output.file;
    ASSERT_GE(calls.size(), 5u) << output.file;

    for (const int error : {EIO, ENOSPC}) {
      for (std::size_t at = 1; at <= calls.size(); ++at) {
        const std::string where = output.file + ": " + calls[at - 1] + " (" + std::to_string(at) +
                                  ") fails with " + std::strerror(error);
        const ToolSession s;
        Prepare(s, output);
        const std::vector<std::string> printed =
            RunWithFault(s, output, static_cast<long>(at), error, 1);
        ASSERT_FALSE(printed.empty()) << where;
        const std::string& last = printed.back();
        const bool moved = last == "Error: Couldn't move KV5SaveData.new onto KV5SaveData";
        EXPECT_TRUE(last == "Error: Couldn't open file " + output.named + " for writing" ||
                    last == "Error: Couldn't write file " + output.named || moved)
            << where << ": " << last;
        // What it printed before is what a good run prints up to there.
        EXPECT_TRUE(printed.size() - 1 <= done.size() &&
                    std::equal(printed.begin(), printed.end() - 1, done.begin()))
            << where;
        EXPECT_EQ(s.Read(output.file), old) << where;
        // Only a new save that could not be moved stays, whole, for the player.
        std::vector<std::string> expected = before;
        if (moved) {
          expected.insert(std::lower_bound(expected.begin(), expected.end(), "KV5SaveData.new"),
                          "KV5SaveData.new");
          EXPECT_EQ(s.Read("KV5SaveData.new"), written) << where;
        }
        EXPECT_EQ(Listing(s), expected) << where;
      }
    }
  }
}

// 100 pairs of runs on one save at once, a text write with a text write or
// with a replace: the second waits for the first and loads what it wrote, so
// the save holds both changes, and each prints what it prints alone.
TEST(FileTest, TwoRunsOnOneSaveTakeTurns) {
  const std::vector<std::string> first = {"-w", "KV5SaveData", "one.txt"};
  const std::vector<std::string> seconds[] = {{"-w", "KV5SaveData", "two.txt"},
                                              {"-rp", "KV5SaveData", "2", "entry.bin"}};
  RunEnvironment environment;
  ToolSession session;
  session.Write("one.txt", std::string("[ENTRY1]\nVoice=42\n"));
  session.Write("two.txt", std::string("[ENTRY2]\nVoice=43\n"));
  session.Write("entry.bin", EntryFile());
  const std::vector<std::string> names = {"KV5SaveData", "entry.bin", "one.txt", "two.txt"};

  // What each run prints alone, and the save after one run and then the other.
  std::string alone[3];
  Bytes both[2];
  for (int kind = 0; kind < 2; ++kind) {
    session.Write("KV5SaveData", SmallSave(1));
    alone[2] = session.Run(first);
    alone[kind] = session.Run(seconds[kind]);
    both[kind] = session.Read("KV5SaveData");
  }

  for (int pair = 0; pair < 100; ++pair) {
    const int kind = pair % 2;
    session.Write("KV5SaveData", SmallSave(1));
    const ToolSession::Running one = session.Start(first);
    const ToolSession::Running two = session.Start(seconds[kind]);
    EXPECT_EQ(session.Finish(one), alone[2]) << "pair " << pair;
    EXPECT_EQ(session.Finish(two), alone[kind]) << "pair " << pair;
    ASSERT_TRUE(session.Read("KV5SaveData") == both[kind]) << "pair " << pair << " lost a change";
    ASSERT_EQ(session.List(), names) << "pair " << pair;
  }
}

}  // namespace
}  // namespace kv5

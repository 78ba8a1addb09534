// The real tool with its calls to the disk and to memory failing one by one
// (support/fault_shim.cpp), and two runs on one save at once.

#include "save/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::Bytes;
using testing::ToolSession;

TEST(FileTest, AFileIsReadWholeOrNotAtAll) {
  ToolSession dir;
  dir.Write("data.bin", std::string("0123456789"));
  EXPECT_EQ(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(10)->size(), 10u);
  EXPECT_FALSE(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(9)) << "longer than expected";
  EXPECT_FALSE(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(11)) << "shorter than expected";
}

// While it lives the tool runs with the fault shim, its `at`th call failing
// (0: none). Only the runs' results matter here: the sessions look for
// leaks, which would take a sanitized run longer than its work. The
// sanitizers' runtime would rather come first; the shim only wraps it.
class FaultyRuns {
 public:
  FaultyRuns(std::size_t at, int error, const std::string& log) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string launcher =
        "env ASAN_OPTIONS=" + std::string(asan ? asan : "") +
        ":detect_leaks=0:verify_asan_link_order=0 LD_PRELOAD=" + KV5_FAULT_SHIM +
        " KV5_FAULT_AT=" + std::to_string(at) + " KV5_FAULT_ERRNO=" + std::to_string(error) +
        " KV5_FAULT_LOG=" + log;
    setenv("KV5SAVE_LAUNCHER", launcher.c_str(), 1);
  }
  ~FaultyRuns() { unsetenv("KV5SAVE_LAUNCHER"); }
};

// Saves cut after slot 2, so that the many runs below are quick.
Bytes SmallSave() {
  return builder::SaveBuilder(1)
      .WithEntry(1)
      .WithEntry(2)
      .WithLength(builder::SlotStart(3))
      .Build();
}

Bytes EntryFile() {
  const Bytes save = builder::SaveBuilder(9).WithEntry(1).Build();
  return Bytes(save.begin() + builder::SlotStart(1), save.begin() + builder::SlotStart(1) + 29832);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One kind of file the tool writes, over a file of that name from before.
struct Output {
  std::vector<std::string> arguments;
  std::string file;    // the file there before the run
  std::string writes;  // the write-side calls of a run without faults
  // The name the messages give: a new save is written beside the save.
  std::string named() const { return file == "KV5SaveData" ? "KV5SaveData.new" : file; }
};

// Lays out a session for the run; returns the bytes of the file from before.
Bytes Prepare(const ToolSession& s, const Output& output) {
  s.Write("KV5SaveData", SmallSave());
  chmod(s.PathOf("KV5SaveData").c_str(), 0640);
  s.Write("edit.txt", std::string("[ENTRY1]\nVoice=42\n"));
  s.Write("entry.bin", EntryFile());
  mkdir(s.PathOf("save").c_str(), 0755);
  mkdir(s.PathOf("thumbnails").c_str(), 0755);
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

// Runs `output`'s command with its `at`th call failing (0: none); returns
// the lines it printed. `calls` gets the calls it made.
std::vector<std::string> RunWithFault(const ToolSession& s, const Output& output, std::size_t at,
                                      int error, int status,
                                      std::vector<std::string>* calls = nullptr) {
  const std::string log = s.PathOf("") + "../" + std::to_string(getpid()) + ".calls";
  const FaultyRuns faulty(at, error, log);
  const std::vector<std::string> printed = Lines(s.Run(output.arguments, status));
  std::ifstream in(log);
  for (std::string line; calls != nullptr && std::getline(in, line);) calls->push_back(line);
  std::remove(log.c_str());
  return printed;
}

// A run without faults writes its file in the order that keeps a file whole:
// beside it, flushed, a new save forced onto the disk, closed, moved into
// place. Then every call of every kind of output fails in turn, a write-side
// one with EIO and with ENOSPC: each such run reports the failure, with
// status 1, and leaves the file from before byte for byte (the new one once
// it is in place) and no file of its own behind.
TEST(FileTest, AFileFromBeforeSurvivesAFailureAtEveryCall) {
  const mode_t umask_bits = umask(0);
  umask(umask_bits);
  const Output outputs[] = {
      {{"KV5SaveData"}, "KV5SaveData.txt", "open fwrite fflush fclose rename"},
      {{"-x", "KV5SaveData", "2"}, "entry2.bin", "open fwrite fflush fclose rename"},
      {{"-p", "-xt", "KV5SaveData", "1"},
       "thumbnails/image1.ptc",
       "open fwrite fflush fclose rename"},
      {{"-p", "-rp", "KV5SaveData", "2", "entry.bin"},
       "save/KV5SaveData",
       "open fwrite fflush fsync fclose rename"},
      {{"-w", "KV5SaveData", "edit.txt"},
       "KV5SaveData",
       "fopen fwrite fflush fsync fclose rename"}};
  const std::regex reads("new|fread|fgets");
  for (const Output& output : outputs) {
    const ToolSession clean;
    const Bytes old = Prepare(clean, output);
    const std::vector<std::string> before = Listing(clean);
    std::vector<std::string> calls;
    const std::vector<std::string> done = RunWithFault(clean, output, 0, 0, 0, &calls);
    const Bytes written = clean.Read(output.file);
    EXPECT_NE(written, old) << output.file;
    EXPECT_EQ(Listing(clean), before) << output.file;
    std::string writes;
    for (const std::string& call : calls) {
      if (!std::regex_match(call, reads)) writes += (writes.empty() ? "" : " ") + call;
    }
    EXPECT_EQ(writes, output.writes) << output.file;
    // A replaced file has the bits of a new one; a new save those of the save.
    struct stat status {};
    stat(clean.PathOf(output.file).c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, output.file == "KV5SaveData" ? 0640 : 0666 & ~umask_bits)
        << output.file;
    const std::size_t in_place = std::find(calls.begin(), calls.end(), "rename") - calls.begin();
    const std::regex failure("Error: (Couldn't open file " + output.named() + " for writing|" +
                             "Couldn't write file " + output.named() + "|Out of memory\\.|" +
                             "Couldn't read (KV5SaveData|edit\\.txt|entry\\.bin)\\.)");

    for (std::size_t at = 1; at <= calls.size(); ++at) {
      for (const int error : {EIO, ENOSPC}) {
        if (error == ENOSPC && std::regex_match(calls[at - 1], reads)) continue;
        const std::string where = output.file + ": " + calls[at - 1] + " (" + std::to_string(at) +
                                  ") fails with " + std::strerror(error);
        const ToolSession s;
        Prepare(s, output);
        const std::vector<std::string> printed = RunWithFault(s, output, at, error, 1);
        ASSERT_FALSE(printed.empty()) << where;
        const bool moved =
            printed.back() == "Error: Couldn't move KV5SaveData.new onto KV5SaveData";
        EXPECT_TRUE(moved || std::regex_match(printed.back(), failure))
            << where << ": " << printed.back();
        // What it printed before is what a good run prints up to there.
        EXPECT_TRUE(printed.size() - 1 <= done.size() &&
                    std::equal(printed.begin(), printed.end() - 1, done.begin()))
            << where;
        EXPECT_TRUE(s.Read(output.file) == (at - 1 > in_place ? written : old)) << where;
        // Only a new save that could not be moved stays, whole, for the player.
        std::vector<std::string> expected = before;
        if (moved) {
          expected.insert(std::lower_bound(expected.begin(), expected.end(), "KV5SaveData.new"),
                          "KV5SaveData.new");
          EXPECT_TRUE(s.Read("KV5SaveData.new") == written) << where;
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
  const FaultyRuns quick(0, 0, "/dev/null");
  ToolSession session;
  session.Write("one.txt", std::string("[ENTRY1]\nVoice=42\n"));
  session.Write("two.txt", std::string("[ENTRY2]\nVoice=43\n"));
  session.Write("entry.bin", EntryFile());
  const std::vector<std::string> names = {"KV5SaveData", "entry.bin", "one.txt", "two.txt"};

  // What each run prints alone, and the save after one run and then the other.
  std::string alone[3];
  Bytes both[2];
  for (int kind = 0; kind < 2; ++kind) {
    session.Write("KV5SaveData", SmallSave());
    alone[2] = session.Run(first);
    alone[kind] = session.Run(seconds[kind]);
    both[kind] = session.Read("KV5SaveData");
  }
  for (int pair = 0; pair < 100; ++pair) {
    const int kind = pair % 2;
    session.Write("KV5SaveData", SmallSave());
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

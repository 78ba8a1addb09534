// What makes a slot an entry, which edition a save is, the large pages its
// image is kept in; and the real tool with its calls to the disk and to
// memory failing one by one (support/fault_shim.cpp), two runs on one save
// at once, and the longest paths.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <tuple>

#include "save/edition.h"
#include "save/file.h"
#include "save/large_pages.h"
#include "save/slots.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"

// The aligned forms of operator new and delete, the deletes counted: a
// buffer must go back the way it came, which a plain build would not notice.
int aligned_deletes = 0;

void* operator new(std::size_t size, std::align_val_t alignment) {
  const auto align = static_cast<std::size_t>(alignment);
  if (void* data = std::aligned_alloc(align, (size + align - 1) / align * align)) return data;
  throw std::bad_alloc();
}

void operator delete(void* data, std::align_val_t) noexcept {
  ++aligned_deletes;
  std::free(data);
}

namespace kv5 {
namespace {

using builder::SaveBuilder;
using testing::Bytes;
using testing::ToolSession;

// A save is of the edition its title says, every byte of the title window
// counting and the byte before it not; a save that ends inside it is none.
// And a slot holds an entry when it lies inside the save and opens with the
// whole signature.
TEST(SaveTest, EditionsAndEntriesAreWhatTheirBytesSay) {
  EXPECT_FALSE(SlotInImage(5338103, kSlotCount - 1));
  EXPECT_TRUE(SlotInImage(5338103, kSlotCount - 2));
  const Bytes save = builder::SaveBuilder().WithEntry(3).Build();
  EXPECT_TRUE(SlotHoldsEntry(save, 2));
  for (std::size_t k = 0; k < kEntrySignature.size(); ++k) {
    Bytes damaged = save;
    damaged[builder::SlotStart(3) + k] ^= 0x40;
    EXPECT_FALSE(SlotHoldsEntry(damaged, 2)) << "signature byte " << k;
    damaged = Bytes(save.begin(), save.begin() + builder::SlotStart(3) + k);
    EXPECT_FALSE(SlotHoldsEntry(damaged, 2)) << "the save ends before signature byte " << k;
  }
  using builder::Title;
  constexpr std::size_t kWindowEnd = kTitleWindowOffset + kTitleWindowLength;
  for (const auto& [title, edition] :
       {std::pair{Title::kEditionFive, Edition::kFive}, {Title::kEditionFour, Edition::kFour}}) {
    const Bytes titled = builder::SaveBuilder().WithTitle(title).WithLength(kWindowEnd).Build();
    EXPECT_EQ(DetectEdition(Bytes(titled.begin(), titled.end() - 1)), Edition::kUnknown);
    EXPECT_EQ(DetectEdition(titled), edition);
    for (std::size_t at = kTitleWindowOffset - 1; at < kWindowEnd; ++at) {
      Bytes changed = titled;
      changed[at] ^= 0x20;  // a letter of the other case, a zero no more
      EXPECT_EQ(DetectEdition(changed) == edition, at < kTitleWindowOffset) << at;
    }
  }
}

// A buffer of a large page or more is aligned to one (a plain one seldom
// is), and only such a buffer is released as an aligned one.
TEST(LargePagesTest, ABufferOfALargePageOrMoreIsAlignedAndGoesBackTheWayItCame) {
  for (const std::size_t size : {kLargePageSize - 1, kLargePageSize, 3 * kLargePageSize - 5}) {
    const int deletes = aligned_deletes;
    const bool large = size >= kLargePageSize;
    {
      const ImageBytes bytes(size);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % (large ? kLargePageSize : 1), 0u);
    }
    EXPECT_EQ(aligned_deletes - deletes, large ? 1 : 0) << size;
  }
}

TEST(FileTest, AFileIsReadWholeOrNotAtAll) {
  char data[] = "0123456789";
  for (const std::int64_t size : {9, 10, 11})
    EXPECT_EQ(File(fmemopen(data, 10, "rb")).ReadExactly(size).has_value(), size == 10);
}

// While it lives the tool runs with `more` before it (the fault shim). The
// sessions look for leaks, which would take a sanitized run longer than its
// work; the sanitizers' runtime would rather come first than the shim.
struct Launcher {
  explicit Launcher(const std::string& more) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string launcher = "env ASAN_OPTIONS=" + std::string(asan ? asan : "") +
                                 ":detect_leaks=0:verify_asan_link_order=0 " + more;
    setenv("KV5SAVE_LAUNCHER", launcher.c_str(), 1);
  }
  ~Launcher() { unsetenv("KV5SAVE_LAUNCHER"); }
};

// A save cut after slot 2, so that the many runs below are quick, a text,
// an entry, and `file` from before.
void Prepare(const ToolSession& s, const std::string& file) {
  s.Write("KV5SaveData",
          SaveBuilder(1).WithEntry(1).WithEntry(2).WithLength(builder::SlotStart(3)).Build());
  chmod(s.PathOf("KV5SaveData").c_str(), 0640);
  s.Write("edit.txt", std::string("[ENTRY1]\nVoice=42\n"));
  s.Write("entry.bin", Bytes(29832, 1));
  mkdir(s.PathOf("save").c_str(), 0755);
  mkdir(s.PathOf("thumbnails").c_str(), 0755);
  if (file != "KV5SaveData") {
    s.Write(file, "old " + file);
    chmod(s.PathOf(file).c_str(), 0600);
  }
}

// A run without faults writes its file in the order that keeps a file whole:
// beside it, flushed, a new save forced onto the disk, closed, moved into
// place. Then every call of every kind of output fails in turn: each such
// run reports the failure, with status 1, and leaves the file from before
// byte for byte (the new one once it is in place) and no file of its own
// behind.
TEST(FileTest, AFileFromBeforeSurvivesAFailureAtEveryCall) {
  const mode_t umask_bits = umask(0);
  umask(umask_bits);
  // The command, the file there before the run, and the write-side calls of
  // a run without faults.
  const std::string plain = "open fwrite fflush fclose rename";
  const std::string synced = "open fwrite fflush fsync fclose rename";
  const std::tuple<std::vector<std::string>, std::string, std::string> outputs[] = {
      {{"KV5SaveData"}, "KV5SaveData.txt", plain},
      {{"-x", "KV5SaveData", "2"}, "entry2.bin", plain},
      {{"-p", "-xt", "KV5SaveData", "1"}, "thumbnails/image1.ptc", plain},
      {{"-p", "-rp", "KV5SaveData", "2", "entry.bin"}, "save/KV5SaveData", synced},
      {{"-w", "KV5SaveData", "edit.txt"}, "KV5SaveData", "f" + synced}};
  for (const auto& [command, file, good_writes] : outputs) {
    const ToolSession clean;
    Prepare(clean, file);
    const std::map<std::string, std::string> before = testing::FilesUnder(clean.PathOf(""));
    // Runs the command in `s` with the `at`th call failing (0: none), its
    // calls logged into `log`.
    const auto run = [&command = command](const ToolSession& s, std::size_t at,
                                          const std::string& log) {
      const Launcher faulty("LD_PRELOAD=" KV5_FAULT_SHIM " KV5_FAULT_AT=" + std::to_string(at) +
                            " KV5_FAULT_LOG=" + log);
      return s.Run(command, at == 0 ? 0 : 1);
    };
    const std::string log = clean.PathOf("") + "../" + std::to_string(getpid()) + ".calls";
    const std::string done = run(clean, 0, log);
    std::vector<std::string> calls;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    std::remove(log.c_str());
    std::map<std::string, std::string> after = before;
    const std::string written = after[file] = clean.ReadText(file);
    EXPECT_TRUE(testing::FilesUnder(clean.PathOf("")) == after) << file;
    std::string writes;
    for (const std::string& call : calls)
      writes += call == "new" || call == "fread" || call == "fgets" ? "" : " " + call;
    EXPECT_EQ(writes, " " + good_writes) << file;
    // A replaced file has the bits of a new one; a new save those of the save.
    const bool save = file == "KV5SaveData";
    struct stat status {};
    stat(clean.PathOf(file).c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, save ? 0640 : 0666 & ~umask_bits) << file;
    const std::size_t in_place = std::find(calls.begin(), calls.end(), "rename") - calls.begin();
    // The messages give the new save the name it is written under.
    const std::string named = save ? "KV5SaveData.new" : file;
    const std::regex failure("Error: (Couldn't open file " + named + " for writing|" +
                             "Couldn't write file " + named + "|Out of memory\\.|" +
                             "Couldn't read (KV5SaveData|edit\\.txt|entry\\.bin)\\.|" +
                             "Couldn't move KV5SaveData.new onto KV5SaveData)\n");

    for (std::size_t at = 1; at <= calls.size(); ++at) {
      const std::string where = file + ": " + calls[at - 1] + " (" + std::to_string(at) + ") fails";
      const ToolSession s;
      Prepare(s, file);
      const std::string printed = run(s, at, "/dev/null");
      // What it printed before its last line is what a good run prints.
      const std::size_t last = printed.rfind('\n', printed.size() - 2) + 1;
      EXPECT_TRUE(std::regex_match(printed.substr(last), failure)) << where << ": " << printed;
      EXPECT_EQ(done.compare(0, last, printed, 0, last), 0) << where;
      // Every file as before (the new one once it is in place), and none
      // left behind but a new save that could not be moved, whole, for the
      // player.
      std::map<std::string, std::string> expected = at - 1 > in_place ? after : before;
      if (printed.find("Couldn't move") != std::string::npos) expected["KV5SaveData.new"] = written;
      EXPECT_TRUE(testing::FilesUnder(s.PathOf("")) == expected) << where;
    }
  }
}

// 100 pairs of runs on one save at once, a text write and a replace started
// in either order: the second waits for the first and loads what it wrote,
// so the save holds both changes, and each prints what it prints alone.
TEST(FileTest, TwoRunsOnOneSaveTakeTurns) {
  const std::vector<std::string> runs[] = {{"-w", "KV5SaveData", "edit.txt"},
                                           {"-rp", "KV5SaveData", "2", "entry.bin"}};
  const Launcher quick("");
  ToolSession session;
  Prepare(session, "KV5SaveData");
  const std::string save = session.ReadText("KV5SaveData");
  const std::string alone[] = {session.Run(runs[0]), session.Run(runs[1])};
  const Bytes both = session.Read("KV5SaveData");
  const std::vector<std::string> files = session.List();
  for (int pair = 0; pair < 100; ++pair) {
    session.Write("KV5SaveData", save);
    const ToolSession::Running first = session.Start(runs[pair % 2]);
    const ToolSession::Running second = session.Start(runs[1 - pair % 2]);
    EXPECT_EQ(session.Finish(first), alone[pair % 2]) << "pair " << pair;
    EXPECT_EQ(session.Finish(second), alone[1 - pair % 2]) << "pair " << pair;
    ASSERT_TRUE(session.Read("KV5SaveData") == both) << "pair " << pair << " lost a change";
    ASSERT_EQ(session.List(), files);
  }
}

// The real tool in directories as deep as a file system allows: a save path
// of 2599 bytes and a text or entry path of 2603 are taken in every mode, a
// byte more is refused with the whole path.
TEST(PathTest, TheLongestPathsAreTakenAndLongerOnesRefused) {
  ToolSession session;
  std::string deep;
  for (int depth = 0; depth < 12; ++depth) {
    deep += std::string(199, 'd');
    ASSERT_EQ(mkdir(session.PathOf(deep).c_str(), 0755), 0);
    deep += '/';
  }
  const std::string name(2599 - deep.size(), 's'), save = deep + name;
  const std::string text = deep + std::string(2603 - deep.size(), 't');
  const std::string entry = deep + std::string(2603 - deep.size(), 'e');
  session.Write(save, SaveBuilder(7).WithEntry(1).WithEntry(3).Build());
  session.Write(text, std::string());
  session.Write(entry, Bytes(29832, 1));

  const std::string loaded = "Save data loaded.\nKestrelvane 5 save detected.\n";
  const std::string found = "Processing save data.\nFound 2 custom character entries.\n";
  const std::string edited =
      loaded + "Text file loaded.\n" + found + "Modified 0 entries.\n" + "Wrote new save file.\n";
  EXPECT_EQ(session.Run({save}), loaded + found + "Wrote " + save + ".txt.\n");
  EXPECT_EQ(session.Run({"-w", save, text}), edited);
  EXPECT_EQ(session.Run({"-p", save}), loaded + found + "Wrote txt/" + name + ".txt.\n");
  EXPECT_EQ(session.Run({"-p", "-w", save, text}), edited);
  EXPECT_EQ(session.Read("save/" + name), session.Read(save));
  EXPECT_EQ(session.Run({"-rp", save, "2", entry}), loaded + entry +
                                                        " loaded.\nReplaced entry #2 with " +
                                                        entry + ".\nWrote new savedata file.\n");
  const std::string too_long = "Error: Path is too long: ";
  EXPECT_EQ(session.Run({save + "s"}, 1), too_long + save + "s\n");
  EXPECT_EQ(session.Run({"-w", save, text + "t"}, 1), loaded + too_long + text + "t\n");
  EXPECT_EQ(session.Run({"-rp", save, "2", entry + "e"}, 1), loaded + too_long + entry + "e\n");
}

}  // namespace
}  // namespace kv5

// A session does what the program does. Random sequences of operations on
// one session, over generated saves, against the same commands run one
// after another as separate processes of the real tool on files: the same
// messages, statuses and bytes.
//
// How a session's messages stand in the program's output: a run prints the
// lines of loading its save (the session's, once, when it was opened), then
// the operation's messages, then the lines of its own file work, which a
// session has none of: "Wrote <text>.", "Saved entry #<n> to <file>.",
// "Saved thumbnail to <file>.", "Replaced entry #<n> with <file>.",
// "Replaced entry #<n>'s thumbnail with <file>.", "Wrote new savedata
// file.", "Wrote new save file.". The names given to the session are those
// the program is given: the save "save", the texts and inputs by their file
// names.

#include "session/session.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "cli/run.h"
#include "save/slots.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::ToolSession;

// Characters of every sort in the first 56 slots, replays among them; the
// save ends there, so the slots after it are out of reach.
Bytes GeneratedSave(std::uint64_t seed) {
  builder::SaveBuilder save(seed);
  for (int slot = 1; slot <= 56; ++slot) {
    switch ((slot + seed) % 5) {
      case 0:
        save.WithExactValues(slot).WithThumbnail(slot);
        break;
      case 1:
        save.WithAwkwardValues(slot);
        break;
      case 2:
        save.WithEntry(slot);
        break;
      case 3:
        save.WithBlankEntry(slot);
        break;
      default:
        break;
    }
  }
  return save.WithLength(builder::SlotStart(57)).Build();
}

class Property {
 public:
  explicit Property(std::uint64_t seed) : random_(seed), donor_(GeneratedSave(seed + 100)) {
    const Bytes bytes = GeneratedSave(seed);
    tool_.Write("save", bytes);
    tool_.Write("other", donor_);
    Opened opened = Session::Open(bytes, "save");
    EXPECT_EQ(opened.status, Opened::Status::kOpened);
    loaded_ = opened.messages;
    session_ = std::move(opened.session);
    Opened other = Session::Open(donor_, "other");
    other_loaded_ = other.messages;
    other_ = std::move(other.session);
  }

  void Step(int step) {
    const std::string slot = std::to_string(Slot());
    const int number = std::stoi(slot);
    switch (random_() % 7) {
      case 0: {
        const bool aligned = random_() % 2 == 0;
        const Exported exported = session_->ExportText(aligned);
        Expect(step, {aligned ? "-t" : "-r", "save"}, 0, exported.messages + "Wrote save.txt.\n");
        EXPECT_EQ(tool_.ReadText("save.txt"), exported.text) << "step " << step;
        break;
      }
      case 1: {
        const std::string text = Text();
        tool_.Write("edit.txt", text);
        const Changed applied = session_->ApplyText(text, "edit.txt");
        Expect(step, {"-w", "save", "edit.txt"}, applied.ok ? 0 : 1,
               applied.messages + (applied.written ? "Wrote new save file.\n" : ""));
        break;
      }
      case 2:
      case 3: {
        const bool entry = random_() % 2 == 0;
        const Extracted extracted = entry ? other_->ExtractEntry(1 + random_() % 56)
                                          : other_->ExtractThumbnail(1 + random_() % 56);
        Bytes input = extracted.ok ? extracted.bytes : Bytes(100, 7);
        if (random_() % 4 == 0) input.resize(input.size() + 1);
        const std::string name = entry ? "entry.bin" : "image.ptc";
        tool_.Write(name, input);
        const Changed replaced =
            entry ? session_->ReplaceEntry(number, input.data(), input.size(), name)
                  : session_->ReplaceThumbnail(number, input.data(), input.size(), name);
        const std::string done =
            entry ? "Replaced entry #" + slot + " with " + name + ".\n"
                  : "Replaced entry #" + slot + "'s thumbnail with " + name + ".\n";
        Expect(step, {entry ? "-rp" : "-rt", "save", slot, name}, replaced.ok ? 0 : 1,
               replaced.messages + (replaced.written ? done + "Wrote new savedata file.\n" : ""));
        break;
      }
      case 4:
      case 5: {
        const bool entry = random_() % 2 == 0;
        const Extracted extracted =
            entry ? session_->ExtractEntry(number) : session_->ExtractThumbnail(number);
        const std::string file = (entry ? "entry" : "image") + slot + (entry ? ".bin" : ".ptc");
        const std::string done = entry ? "Saved entry #" + slot + " to " + file + ".\n"
                                       : "Saved thumbnail to " + file + ".\n";
        Expect(step, {entry ? "-x" : "-xt", "save", slot}, extracted.ok ? 0 : 1,
               extracted.messages + (extracted.ok ? done : ""));
        if (extracted.ok) {
          EXPECT_TRUE(tool_.Read(file) == extracted.bytes) << "step " << step;
        }
        break;
      }
      default: {
        const bool aligned = random_() % 2 == 0;
        const Comparison comparison = session_->Compare(*other_, aligned);
        std::vector<std::string> args = {"-d", "save", "other"};
        if (aligned) args.insert(args.begin(), "-t");
        Expect(step, args, comparison.differ ? 1 : 0, other_loaded_ + comparison.text());
        break;
      }
    }
    ASSERT_TRUE(tool_.Read("save") == session_->bytes()) << "step " << step;
  }

 private:
  // A slot number, now and then one that names no slot.
  int Slot() {
    const int pick = static_cast<int>(random_() % 64);
    return pick < 60 ? 1 + pick : std::vector<int>{0, 119, -3, 57}[pick - 60];
  }

  // A text for the write mode: edits of custom and replay slots, a range
  // now and then, values the fields take and values they refuse, lines the
  // import reports.
  std::string Text() {
    static const std::vector<std::string> values = {"Kai",
                                                    "1B",
                                                    "1.5",
                                                    "0.000001",
                                                    "01 02",
                                                    "1B 0C 00 00",
                                                    "nineteen characters",
                                                    "twenty characters!!",
                                                    "",
                                                    "zz",
                                                    "00 01 (female KVC)",
                                                    "-2",
                                                    "1e3"};
    std::string text;
    for (int section = 0; section < 3; ++section) {
      const int first = Slot();
      text += random_() % 5 == 0
                  ? "[ENTRY" + std::to_string(first) + "to" + std::to_string(first + 2) + "]\r\n"
                  : "[ENTRY" + std::to_string(first) + "]\n";
      for (int line = 0; line < 4; ++line) {
        const int field = static_cast<int>(random_() % kFieldCount);
        const std::string name(Field(field).name.view());
        text += (name.empty() ? "Bogus" : name) + "=" + values[random_() % values.size()] + "\n";
      }
    }
    return text;
  }

  void Expect(int step, const std::vector<std::string>& arguments, int status,
              const std::string& messages) {
    EXPECT_EQ(tool_.Run(arguments, status), loaded_ + messages)
        << "step " << step << ": " << ::testing::PrintToString(arguments);
  }

  std::mt19937_64 random_;
  ToolSession tool_;
  Bytes donor_;
  std::string loaded_;
  std::string other_loaded_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<Session> other_;
};

TEST(SessionTest, OperationsOnOneSessionGiveWhatTheProgramGivesRunAfterRun) {
  for (std::uint64_t seed = 1; seed <= 4; ++seed) {
    Property property(seed);
    for (int step = 0; step < 30; ++step) {
      property.Step(step);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// The program's Run keeps nothing from one run to the next: two runs in one
// process print and write what two processes do.
TEST(SessionTest, TwoRunsInOneProcessAreTwoRuns) {
  ToolSession tool;
  const Bytes save = GeneratedSave(7);
  tool.Write("save", save);
  tool.Write("edit.txt", "[ENTRY1]\nName=Kai\n[ENTRY3]\nVoice=12\n");
  const std::vector<std::string> arguments = {"-w", tool.PathOf("save"), tool.PathOf("edit.txt")};
  const std::string processes[] = {tool.Run(arguments), tool.Run(arguments)};
  const Bytes written = tool.Read("save");
  tool.Write("save", save);
  std::vector<const char*> argv = {"kv5save"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  for (const std::string& printed : processes) {
    MessageText out;
    EXPECT_EQ(kv5::Run(static_cast<int>(argv.size()), argv.data(), out), 0);
    EXPECT_EQ(out.text(), printed);
  }
  EXPECT_TRUE(tool.Read("save") == written);
}

}  // namespace
}  // namespace kv5

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

// Characters of every sort in the first 56 slots, replays among them. An
// odd seed's save ends there, cut short, so the slots after it are out of
// reach and the passes give no counts; an even seed's holds every slot.
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
  if (seed % 2 == 1) save.WithLength(builder::SlotStart(57));
  return save.Build();
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
    switch (random_() % 8) {
      case 0: {
        const bool aligned = random_() % 2 == 0;
        const Exported exported = session_->ExportText(aligned);
        Expect(step, {aligned ? "-t" : "-r", "save"}, 0, exported.messages + "Wrote save.txt.\n");
        EXPECT_EQ(tool_.ReadText("save.txt"), exported.text) << "step " << step;
        if (!aligned) ExpectCharactersAndFieldsAsIn(exported.text, step);
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
      case 6: {
        const bool aligned = random_() % 2 == 0;
        const Comparison comparison = session_->Compare(*other_, aligned);
        std::vector<std::string> args = {"-d", "save", "other"};
        if (aligned) args.insert(args.begin(), "-t");
        Expect(step, args, comparison.differ ? 1 : 0, other_loaded_ + comparison.text());
        for (const SlotDifference& difference : comparison.slots) {
          EXPECT_EQ(difference.text.rfind("[ENTRY" + std::to_string(difference.slot) + "]\n", 0),
                    0u)
              << "step " << step;
        }
        break;
      }
      default:
        ExpectCheckAsApplied(number, step);
        break;
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
  // A value as a player may type it: one a field takes, one it refuses.
  std::string Value() {
    static const char* const kValues[] = {"Kai",
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
    return kValues[random_() % (sizeof kValues / sizeof kValues[0])];
  }

  std::string Text() {
    std::string text;
    for (int section = 0; section < 3; ++section) {
      const int first = Slot();
      text += random_() % 5 == 0
                  ? "[ENTRY" + std::to_string(first) + "to" + std::to_string(first + 2) + "]\r\n"
                  : "[ENTRY" + std::to_string(first) + "]\n";
      for (int line = 0; line < 4; ++line) {
        const int field = static_cast<int>(random_() % kFieldCount);
        const std::string name(Field(field).name.view());
        text += (name.empty() ? "Bogus" : name) + "=" + Value() + "\n";
      }
    }
    return text;
  }

  // The list of characters and their fields say what the export says: a
  // section for every character, the replays after "#REPLAY", and the
  // export's line for every field it shows.
  void ExpectCharactersAndFieldsAsIn(std::string text, int step) {
    std::string listed;
    for (const Character& character : session_->Characters()) {
      EXPECT_EQ(character.replay, character.slot > kCustomSlotCount);
      const std::optional<CharacterFields> fields = session_->Fields(character.slot);
      ASSERT_TRUE(fields.has_value()) << "step " << step;
      EXPECT_EQ(fields->editable, !character.replay);
      listed += "[ENTRY" + std::to_string(character.slot) + "]\r\n";
      for (const FieldGroup& group : fields->groups) {
        for (const FieldValue& field : group.fields) {
          const std::string note = field.note.empty() ? "" : " (" + field.note + ")";
          if (field.shown) listed += field.name + "=" + field.value + note + "\r\n";
          if (field.id == kNameField) {
            EXPECT_EQ(field.shown ? field.value : "", character.name);
          }
        }
      }
      listed += "\r\n";
    }
    const std::size_t replays = text.find("#REPLAY\r\n");
    if (replays != std::string::npos) text.erase(replays, 9);
    EXPECT_EQ(listed, text) << "step " << step;
  }

  // What the check of a field line says is what the write mode does with
  // that line alone: the same reports, and the value it stores.
  void ExpectCheckAsApplied(int number, int step) {
    const std::string name(Field(static_cast<int>(random_() % kFieldCount)).name.view());
    const std::string value = Value();
    const FieldCheck check = session_->CheckFieldLine(number, name, value);
    Opened probe = Session::Open(session_->bytes(), "save");
    const Changed applied =
        probe.session->ApplyText(Session::EditText(number, {{name, value}}), "check.txt");
    const std::size_t loaded = applied.messages.find("Text file loaded.\n");
    EXPECT_EQ(check.problem, loaded == std::string::npos ? "" : applied.messages.substr(0, loaded))
        << "step " << step;
    const std::optional<CharacterFields> fields = probe.session->Fields(number);
    if (!check.applied || number > kCustomSlotCount || !fields) return;
    for (const FieldGroup& group : fields->groups) {
      for (const FieldValue& field : group.fields) {
        if (field.name == name) {
          EXPECT_EQ(field.value, check.stored) << "step " << step << ", " << name;
        }
      }
    }
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

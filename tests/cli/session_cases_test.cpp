// Runs the player sessions written as data under tests/**/cases/*.case: each
// case sets up files, runs the real kv5save and states what it must print and
// leave on disk. Adding a case means adding lines to a case file.
//
//   case <title>                         starts a case; a file holds several
//   only posix|windows                   the case holds for builds of that
//                                        kind only and is skipped for others
//   save <name> [seed=N] [title=5|4|unknown] [length=<at>] [entries=1,3-5]
//        [blank=<slots>] [exact=<slots>]  entries hold noise, blank ones zero
//                                        bytes, exact ones values the text
//                                        form carries exactly
//   poke <name> <at> <hex>...            bytes into a file
//   float <name> <at> <value>            a big-endian single
//   string <name> <at> "<text>"          characters and a NUL
//   write <name> "<text>"                a whole file (\r \n \t \xHH escapes)
//   lines <name> crlf|lf|cr              a text file, one "| line" a line below
//   bytes <name> <size> [<hex>]          a file of one byte, or a pattern
//   link <name> <target>    dir <name>    readonly <dir>   ("." the session's)
//   fifo <name>                          a named pipe
//   run <status> <argument>...           the exit status it must end with (0
//                                        done, 1 a problem reported, 2 too
//                                        few arguments; for -d 0 alike, 1
//                                        different, 2 not compared), and its output,
//                                        exactly, as "> line" lines
//                                        below (">:" ends without a line end;
//                                        "> @usage" and "> @loaded" stand for
//                                        the usage text and the two load lines;
//                                        "{here}" in arguments and output is
//                                        the case's directory as the tool
//                                        sees it, on Windows "Z:\tmp\...",
//                                        and "{sep}" its directory separator)
//   files <name>...  files-in <dir> <name>...   exactly these names, sorted
//   same <name>                          as it was when the first run began
//                                        (names may lead into directories)
//   changed <name>[=<file>] <at> <hex>...|@<file>|zeros <count>
//                                        as it (or <file>) was, but for these
//                                        bytes; changes add up
//   slice <name> <file> <at> <count>     equals bytes of <file> as it was
//   contains <name> "<text>"    lacks <name> "<text>"
//   matches <name> <file under tests/>   the text file, with CR LF line ends
//
// <at> is an offset in bytes, "slotN" (where slot N begins) or "slotN+K".

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

namespace fs = std::filesystem;
using builder::SaveBuilder;
using testing::Bytes;
using testing::ToolIsWindowsBuild;

const std::string kUsage =
    "KV5 savegame tool. v0.2.7\n\n"
    "-r for reading and converting save to text.\nEx. kv5save.exe -r KV5SaveData\n\n"
    "-w for updating save data with info in text file.\n"
    "Ex. kv5save.exe -w KV5SaveData KV5SaveData.txt\n\n"
    "-x extract a specific entry to a single binary file.\nEx. kv5save.exe -x KV5SaveData 40\n\n"
    "-rp replace a specific entry with an entry binary file.\n"
    "Ex. kv5save.exe -rp KV5SaveData 40 entry50.bin\n\n"
    "-d compare two saves and print what differs, as text that -w can apply.\n"
    "Ex. kv5save.exe -d KV5SaveData.bak KV5SaveData\n\n"
    "-xt extract a specific thumbnail to a single binary file.\n"
    "-rt replace a specific thumbnail with a thumbnail binary file.\n"
    "-p to write any new files into specific directories.\n\n"
    "-t to create symmetry in generated text files.\n\n"
    "Remember to keep backups of files before modifying them.\n"
    "Also remember to resign the save file before using it.\n";

struct Command {
  int line = 0;
  std::vector<std::string> words;
  std::vector<std::string> body;  // the "> " or "| " lines that follow
};

struct Case {
  std::string name;  // for the test's name
  std::string where;
  std::vector<Command> commands;
};

// A quoted word's escapes: \r, \n, \t, \xHH, and any other character as itself.
std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c != '\\' || next == '\0') {
      out += c;
    } else if (next == 'x' && i + 3 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
      ++i;
    }
  }
  return out;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) word += line[i++];
        word += line[i];
      }
      words.push_back(Unescape(word));
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ') word += line[i++];
      words.push_back(word);
    }
  }
  return words;
}

std::vector<Case> LoadCases() {
  std::vector<Case> cases;
  std::vector<fs::path> files;
  for (const auto& item : fs::recursive_directory_iterator(KV5_TEST_DATA_DIR)) {
    if (item.path().extension() == ".case") files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& path : files) {
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::string where =
          fs::relative(path, KV5_TEST_DATA_DIR).string() + ":" + std::to_string(number);
      if (line.rfind("case ", 0) == 0) {
        std::string name = path.stem().string() + "_" + line.substr(5);
        for (char& c : name)
          if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        cases.push_back({name, where, {}});
      } else if (!line.empty() && (line[0] == '>' || line[0] == '|') && !cases.empty() &&
                 !cases.back().commands.empty()) {
        cases.back().commands.back().body.push_back(line);
      } else if (!line.empty() && line[0] != '#' && !cases.empty()) {
        cases.back().commands.push_back({number, Words(line), {}});
      }
    }
  }
  return cases;
}

class SessionCase {
 public:
  explicit SessionCase(const Case& c) : case_(c) {}

  void Run() {
    for (const Command& command : case_.commands) {
      if (command.words[0] != "only") continue;
      const std::string kind = ToolIsWindowsBuild() ? "windows" : "posix";
      if (command.words.at(1) != kind) GTEST_SKIP() << "only for " << command.words[1] << " builds";
    }
    for (const Command& command : case_.commands) {
      where_ = case_.where.substr(0, case_.where.rfind(':') + 1) + std::to_string(command.line);
      Execute(command);
    }
    CheckChanges();
  }

 private:
  std::size_t At(const std::string& at) const {
    if (at.rfind("slot", 0) != 0) return std::stoul(at, nullptr, 0);
    const std::size_t plus = at.find('+');
    const std::size_t start = builder::SlotStart(std::stoi(at.substr(4, plus)));
    return plus == std::string::npos ? start : start + std::stoul(at.substr(plus + 1), nullptr, 0);
  }

  Bytes Hex(const std::vector<std::string>& words, std::size_t from) const {
    Bytes bytes;
    for (std::size_t i = from; i < words.size(); ++i)
      bytes.push_back(static_cast<std::uint8_t>(std::stoul(words[i], nullptr, 16)));
    return bytes;
  }

  void Poke(const std::string& name, std::size_t at, const Bytes& bytes) {
    Bytes file = session_.Read(name);
    if (file.size() < at + bytes.size()) file.resize(at + bytes.size());
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(at));
    session_.Write(name, file);
  }

  void Save(const std::vector<std::string>& words) {
    std::map<std::string, std::string> options;
    for (std::size_t i = 2; i < words.size(); ++i) {
      const std::size_t equals = words[i].find('=');
      options[words[i].substr(0, equals)] = words[i].substr(equals + 1);
    }
    SaveBuilder save(options.count("seed") ? std::stoull(options["seed"]) : 1);
    if (options["title"] == "4") save.WithTitle(builder::Title::kEditionFour);
    if (options["title"] == "unknown") save.WithTitle(builder::Title::kUnknown);
    if (options.count("length")) save.WithLength(At(options["length"]));
    for (const std::string key : {"entries", "blank", "exact"}) {
      std::stringstream slots(options[key]);
      for (std::string range; std::getline(slots, range, ',');) {
        const std::size_t dash = range.find('-');
        const int last = std::stoi(range.substr(dash == std::string::npos ? 0 : dash + 1));
        for (int slot = std::stoi(range); slot <= last; ++slot) {
          if (key == "entries") save.WithEntry(slot);
          if (key == "blank") save.WithBlankEntry(slot);
          if (key == "exact") save.WithExactValues(slot);
        }
      }
    }
    session_.Write(words[1], save.Build());
  }

  void RunTool(const Command& command) {
    if (!snapshot_taken_) {
      const fs::path top = session_.PathOf("");
      for (const auto& item : fs::recursive_directory_iterator(top)) {
        if (!item.is_regular_file()) continue;
        const std::string name = fs::relative(item.path(), top).generic_string();
        snapshot_[name] = session_.Read(name);
      }
      snapshot_taken_ = true;
    }
    CheckChanges();
    const std::string& status = command.words.at(1);
    ASSERT_TRUE(status.size() == 1 && std::isdigit(static_cast<unsigned char>(status[0])))
        << where_ << ": run needs the exit status before the arguments";
    std::vector<std::string> arguments(command.words.begin() + 2, command.words.end());
    for (std::string& argument : arguments) argument = WithHere(argument);
    std::string expected;
    for (const std::string& line : command.body) {
      if (line == "> @usage")
        expected += kUsage;
      else if (line == "> @loaded")
        expected += "Save data loaded.\nKestrelvane 5 save detected.\n";
      else if (line.rfind(">:", 0) == 0)
        expected += line.substr(line.size() > 2 && line[2] == ' ' ? 3 : 2);
      else
        expected += line.substr(line.size() > 1 ? 2 : 1) + "\n";
    }
    EXPECT_EQ(session_.Run(arguments, status[0] - '0'), WithHere(expected)) << where_;
  }

  std::string WithHere(std::string text) const {
    const std::pair<std::string, std::string> words[] = {
        {"{here}", session_.DirectoryForTool()},
        {"{sep}", testing::ToolIsWindowsBuild() ? "\\" : "/"}};
    for (const auto& [word, meaning] : words) {
      for (std::size_t at = text.find(word); at != std::string::npos;
           at = text.find(word, at + meaning.size())) {
        text.replace(at, word.size(), meaning);
      }
    }
    return text;
  }

  void Changed(const std::vector<std::string>& words) {
    const std::size_t equals = words[1].find('=');
    const std::string name = words[1].substr(0, equals);
    if (!expected_.count(name)) {
      expected_[name] = snapshot_[equals == std::string::npos ? name : words[1].substr(equals + 1)];
    }
    Bytes patch;
    if (words[3] == "zeros")
      patch = Bytes(std::stoul(words[4]), 0);
    else if (words[3][0] == '@')
      patch = session_.Read(words[3].substr(1));
    else
      patch = Hex(words, 3);
    Bytes& bytes = expected_[name];
    const std::size_t at = At(words[2]);
    ASSERT_LE(at + patch.size(), bytes.size()) << where_;
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<long>(at));
    pending_where_[name] = where_;
  }

  void CheckChanges() {
    for (const auto& [name, bytes] : expected_) {
      EXPECT_TRUE(session_.Read(name) == bytes)
          << pending_where_[name] << ": " << name << " differs";
    }
  }

  void Execute(const Command& command) {
    const std::vector<std::string>& w = command.words;
    const std::string& verb = w[0];
    if (verb == "only") {
      // Looked at before the case ran.
    } else if (verb == "save") {
      Save(w);
    } else if (verb == "poke") {
      Poke(w[1], At(w[2]), Hex(w, 3));
    } else if (verb == "string") {
      Bytes text(w[3].begin(), w[3].end());
      text.push_back(0);
      Poke(w[1], At(w[2]), text);
    } else if (verb == "float") {
      const float value = std::stof(w[3]);
      std::uint32_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      Poke(w[1], At(w[2]),
           Bytes{static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                 static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)});
    } else if (verb == "write") {
      session_.Write(w[1], w[2]);
    } else if (verb == "lines") {
      const std::string end = w[2] == "crlf" ? "\r\n" : w[2] == "cr" ? "\r" : "\n";
      std::string text;
      for (const std::string& line : command.body)
        text += line.substr(line.size() > 1 ? 2 : 1) + end;
      session_.Write(w[1], text);
    } else if (verb == "bytes") {
      Bytes bytes(std::stoul(w[2]));
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] =
            static_cast<std::uint8_t>(w.size() > 3 ? std::stoul(w[3], nullptr, 16) : i * 7 + 1);
      }
      session_.Write(w[1], bytes);
    } else if (verb == "link") {
      EXPECT_EQ(symlink(w[2].c_str(), session_.PathOf(w[1]).c_str()), 0) << where_;
    } else if (verb == "fifo") {
      EXPECT_EQ(mkfifo(session_.PathOf(w[1]).c_str(), 0644), 0) << where_;
    } else if (verb == "dir") {
      EXPECT_TRUE(fs::create_directories(session_.PathOf(w[1]))) << where_;
    } else if (verb == "readonly") {
      if (!session_.MakeReadOnly(w[1])) GTEST_SKIP() << where_ << ": no way to make it read-only";
    } else if (verb == "run") {
      RunTool(command);
    } else if (verb == "files" || verb == "files-in") {
      const bool in = verb == "files-in";
      const std::vector<std::string> names(w.begin() + (in ? 2 : 1), w.end());
      EXPECT_EQ(session_.List(in ? w[1] : "."), names) << where_;
    } else if (verb == "same") {
      EXPECT_TRUE(session_.Read(w[1]) == snapshot_[w[1]]) << where_ << ": " << w[1] << " changed";
    } else if (verb == "changed") {
      Changed(w);
    } else if (verb == "slice") {
      const Bytes& other = snapshot_[w[2]];
      const std::size_t at = At(w[3]);
      const std::size_t count = std::stoul(w[4]);
      ASSERT_LE(at + count, other.size()) << where_;
      const Bytes slice(other.begin() + static_cast<long>(at),
                        other.begin() + static_cast<long>(at + count));
      EXPECT_TRUE(session_.Read(w[1]) == slice) << where_ << ": " << w[1] << " differs";
    } else if (verb == "contains" || verb == "lacks") {
      const bool found = session_.ReadText(w[1]).find(w[2]) != std::string::npos;
      EXPECT_EQ(found, verb == "contains") << where_ << ": " << w[2];
    } else if (verb == "matches") {
      std::ifstream in(std::string(KV5_TEST_DATA_DIR) + "/" + w[2]);
      std::string expected;
      for (std::string line; std::getline(in, line);) expected += line + "\r\n";
      EXPECT_EQ(session_.ReadText(w[1]), expected) << where_;
    } else {
      ADD_FAILURE() << where_ << ": unknown command " << verb;
    }
  }

  const Case& case_;
  testing::ToolSession session_;
  std::string where_;
  bool snapshot_taken_ = false;
  std::map<std::string, Bytes> snapshot_;
  std::map<std::string, Bytes> expected_;
  std::map<std::string, std::string> pending_where_;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.where; }

class SessionCaseTest : public ::testing::TestWithParam<Case> {};

TEST_P(SessionCaseTest, Runs) { SessionCase(GetParam()).Run(); }

INSTANTIATE_TEST_SUITE_P(Cases, SessionCaseTest, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace kv5

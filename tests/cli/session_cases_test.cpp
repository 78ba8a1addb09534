// Runs the player sessions written as data under tests/**/cases/*.case: each
// case sets up files, runs the real kv5save and states what it must print and
// leave on disk. Adding a case means adding lines to a case file.
//
//   case <title>                         starts a case; a file holds several
//   only posix|windows                   the case holds for builds of that
//                                        kind only and is skipped for others
//   save <name> [title=4] [length=<at>] [entries=1,3-5] [blank=<slots>]
//        [exact=<slots>]                 a save of edition 5 (or 4); entries
//                                        hold noise, blank ones zero bytes,
//                                        exact ones values the text form
//                                        carries exactly
//   poke <name> <at> <hex>...            bytes into a file
//   string <name> <at> "<text>"          characters and a NUL
//   write <name> "<text>"                a whole file
//   write <name> crlf|lf|cr              a text file, one "| line" a line below
//   bytes <name> <size>                  a file of varied bytes
//   dir <name>    link <name> <target>    fifo <name> (a named pipe)
//   run <status> <argument>...           the exit status it must end with (0
//                                        done, 1 a problem reported, 2 too
//                                        few arguments; for -d 0 alike, 1
//                                        different, 2 not compared), and its
//                                        output, exactly, as "> line" lines
//                                        below; ">:" ends without a line end;
//                                        a single line may follow the run's
//                                        arguments, after a space
//   files [<dir>/] <name>...             exactly these names, sorted
//   same <name>...                       as it was when the first run began
//                                        (names may lead into directories)
//   changed <name>[=<file>] <at> <hex>...|@<file>|zeros <count> ...
//                                        as it (or <file>) was, but for these
//                                        bytes; changes add up, and a word
//                                        "slotN..." starts the next one
//   slice <name> <file> <at> <count>     bytes of <file> as it was
//   contains <name> "<text>"    lacks <name> "<text>"
//   matches <name> <file under tests/>   the text file, with CR LF line ends
//   define <name>                        "> line" lines below, which a line
//                                        "> @<name> <word>..." of any case
//                                        file stands for: in them $1, $2...
//                                        are its words (empty when not given)
//                                        and $* the rest of the line as it is
//                                        (a line of $* alone goes when empty)
//
// <at> is an offset in bytes, "slotN" (where slot N begins) or "slotN+K".
// What same, changed and slice state holds from there to the case's end:
// it is checked before every later run and when the case ends.
// A quoted word may hold spaces and the escapes \r, \n, \t and \xHH. In
// every word and line, "{here}" is the case's directory as the tool sees it
// (on Windows "Z:\tmp\..."), "{sep}" its directory separator, and "{N*c}"
// the character c N times.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

struct Command {
  int line;
  Words words, body;  // body: the "> " or "| " lines that follow
};

struct Case {
  std::string name, file, only;
  int line;
  std::vector<Command> commands;
};

std::map<std::string, Words> defined;

void ReplaceAll(std::string& text, const std::string& word, const std::string& meaning) {
  for (auto at = text.find(word); at != std::string::npos;
       at = text.find(word, at + meaning.size()))
    text.replace(at, word.size(), meaning);
}

Words Split(const std::string& line) {
  Words words;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ' ') continue;
    const bool quoted = line[i] == '"';
    std::string word;
    for (i += quoted; i < line.size() && line[i] != (quoted ? '"' : ' '); ++i) {
      const char c = quoted && line[i] == '\\' ? line[++i] : '\0';
      if (c == 'x') word += static_cast<char>(std::stoi(line.substr((i += 2) - 1, 2), nullptr, 16));
      if (c != 'x') word += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c ? c : line[i];
    }
    words.push_back(word);
  }
  return words;
}

std::vector<Case> LoadCases() {
  std::vector<fs::path> files;
  for (const auto& item : fs::recursive_directory_iterator(KV5_TEST_DATA_DIR))
    if (item.path().extension() == ".case") files.push_back(item.path());
  std::sort(files.begin(), files.end());
  std::vector<Case> cases;
  for (const fs::path& path : files) {
    std::ifstream in(path);
    Words* body = nullptr;
    int number = 0;
    for (std::string line; std::getline(in, line) && ++number;) {
      if (line.empty() || line[0] == '#') continue;
      if (line[0] == '>' || line[0] == '|') {
        body->push_back(line);
      } else if (line.rfind("define ", 0) == 0) {
        body = &defined[line.substr(7)];
      } else if (line.rfind("case ", 0) == 0) {
        std::string name = path.stem().string() + "_" + line.substr(5);
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        cases.push_back({name, fs::relative(path, KV5_TEST_DATA_DIR).string(), "", number, {}});
      } else if (line.rfind("only ", 0) == 0) {
        cases.back().only = line.substr(5);
      } else {
        const std::size_t output = line.rfind("run ", 0) == 0 ? line.find(" >") : line.npos;
        cases.back().commands.push_back({number, Split(line.substr(0, output)), {}});
        body = &cases.back().commands.back().body;
        if (output != line.npos) body->push_back(line.substr(output + 1));
      }
    }
  }
  return cases;
}

class Session {
 public:
  void Run(const Case& c) {
    if (!c.only.empty() && c.only != (testing::ToolIsWindowsBuild() ? "windows" : "posix"))
      GTEST_SKIP();
    for (const Command& command : c.commands) {
      where_ = c.file + ":" + std::to_string(command.line);
      Words words;
      for (const std::string& word : command.words) words.push_back(Expand(word));
      Execute(words, command.body);
    }
    CheckFiles();
  }

 private:
  std::string Expand(std::string text) const {
    ReplaceAll(text, "{here}", session_.DirectoryForTool());
    ReplaceAll(text, "{sep}", testing::ToolIsWindowsBuild() ? "\\" : "/");
    for (auto at = text.find('{'); at != std::string::npos; at = text.find('{', at + 1)) {
      const std::size_t star = text.find('*', at);
      if (star != std::string::npos && text.find('}', at) == star + 2)
        text.replace(at, star + 3 - at, std::stoul(text.substr(at + 1)), text[star + 1]);
    }
    return text;
  }

  // The text of "> " or "| " lines, each ended by `end`, but ">:" ones.
  std::string Text(const Words& body, const std::string& end, const std::string& rest = "") const {
    std::string text;
    for (std::string line : body) {
      if (line == "> $*" && rest.empty()) continue;
      const Words words = Split(rest);
      for (std::size_t i = 0; !rest.empty() && i < 9; ++i)
        ReplaceAll(line, "$" + std::to_string(i + 1), i < words.size() ? words[i] : "");
      ReplaceAll(line, "$*", rest);
      const std::string use = line.substr(std::min<std::size_t>(3, line.size()));
      const std::size_t space = std::min(use.find(' '), use.size());
      if (line.rfind("> @", 0) == 0)
        text += Text(defined.at(use.substr(0, space)), end,
                     use.substr(std::min(space + 1, use.size())));
      else if (line.rfind(">:", 0) == 0)
        text += Expand(use);
      else
        text += Expand(line.substr(std::min<std::size_t>(2, line.size()))) + end;
    }
    return text;
  }

  std::size_t At(const std::string& at) const {
    if (at.rfind("slot", 0) != 0) return std::stoul(at, nullptr, 0);
    const std::size_t plus = at.find('+');
    return builder::SlotStart(std::stoi(at.substr(4))) +
           (plus == std::string::npos ? 0 : std::stoul(at.substr(plus + 1), nullptr, 0));
  }

  static std::string Hex(Words::const_iterator word, Words::const_iterator end) {
    std::string bytes;
    for (; word != end; ++word) bytes += static_cast<char>(std::stoul(*word, nullptr, 16));
    return bytes;
  }

  void Save(const Words& w) const {
    builder::SaveBuilder save;
    for (auto word = w.begin() + 2; word != w.end(); ++word) {
      const std::string key = word->substr(0, word->find('=')),
                        value = word->substr(key.size() + 1);
      if (key == "title") save.WithTitle(builder::Title::kEditionFour);
      if (key == "length") save.WithLength(At(value));
      std::stringstream slots(key == "title" || key == "length" ? "" : value);
      for (std::string range; std::getline(slots, range, ',');) {
        const int first = std::stoi(range), last = std::stoi(range.substr(range.find('-') + 1));
        for (int slot = first; slot <= last; ++slot)
          key == "entries" ? save.WithEntry(slot)
          : key == "blank" ? save.WithBlankEntry(slot)
                           : save.WithExactValues(slot);
      }
    }
    session_.Write(w[1], save.Build());
  }

  void CheckFiles() {
    for (const auto& [name, bytes] : expected_)
      EXPECT_TRUE(session_.ReadText(name) == bytes) << where_ << ": " << name << " differs";
  }

  void Execute(const Words& w, const Words& body) {
    const std::string& verb = w[0];
    if (verb == "save") {
      Save(w);
    } else if (verb == "poke" || verb == "string") {
      std::string file = session_.ReadText(w[1]);
      const std::string bytes = verb == "poke" ? Hex(w.begin() + 3, w.end()) : w[3] + '\0';
      file.resize(std::max(file.size(), At(w[2]) + bytes.size()));
      session_.Write(w[1], file.replace(At(w[2]), bytes.size(), bytes));
    } else if (verb == "write") {
      const std::string end = w[2] == "crlf" ? "\r\n" : w[2] == "cr" ? "\r" : "\n";
      session_.Write(w[1], body.empty() ? w[2] : Text(body, end));
    } else if (verb == "bytes") {
      std::string bytes(std::stoul(w[2]), '\0');
      for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 1);
      session_.Write(w[1], bytes);
    } else if (verb == "dir" || verb == "link" || verb == "fifo") {
      const std::string path = session_.PathOf(w[1]);
      EXPECT_TRUE(verb == "dir"    ? fs::create_directories(path)
                  : verb == "link" ? symlink(w[2].c_str(), path.c_str()) == 0
                                   : mkfifo(path.c_str(), 0644) == 0)
          << where_;
    } else if (verb == "run") {
      if (!ran_) before_ = testing::FilesUnder(session_.PathOf(""));
      CheckFiles();
      ran_ = true;
      const std::string printed = session_.Run(Words(w.begin() + 2, w.end()), std::stoi(w[1]));
      EXPECT_EQ(printed, Text(body, "\n")) << where_;
    } else if (verb == "files") {
      const bool in = w.size() > 1 && w[1].back() == '/';
      EXPECT_EQ(session_.List(in ? w[1] : "."), Words(w.begin() + 1 + in, w.end())) << where_;
    } else if (verb == "same") {
      for (auto name = w.begin() + 1; name != w.end(); ++name) expected_[*name] = before_.at(*name);
    } else if (verb == "slice") {
      expected_[w[1]] = before_.at(w[2]).substr(At(w[3]), std::stoul(w[4]));
    } else if (verb == "changed") {
      const std::string name = w[1].substr(0, w[1].find('='));
      if (!expected_.count(name)) expected_[name] = before_.at(w[1].substr(w[1].find('=') + 1));
      for (std::size_t at = 2, end = 3; at < w.size(); at = end++) {
        while (end < w.size() && w[end].rfind("slot", 0) != 0) ++end;
        const std::string patch = w[at + 1] == "zeros"  ? std::string(std::stoul(w[at + 2]), '\0')
                                  : w[at + 1][0] == '@' ? session_.ReadText(w[at + 1].substr(1))
                                                        : Hex(w.begin() + at + 1, w.begin() + end);
        expected_[name].replace(At(w[at]), patch.size(), patch);
      }
    } else if (verb == "contains" || verb == "lacks") {
      const bool found = session_.ReadText(w[1]).find(w[2]) != std::string::npos;
      EXPECT_EQ(found, verb == "contains") << where_ << ": " << w[2];
    } else if (verb == "matches") {
      std::string expected = testing::ReadFile(std::string(KV5_TEST_DATA_DIR) + "/" + w[2]);
      ReplaceAll(expected, "\n", "\r\n");
      EXPECT_EQ(session_.ReadText(w[1]), expected) << where_;
    } else {
      ADD_FAILURE() << where_ << ": unknown command " << verb;
    }
  }

  testing::ToolSession session_;
  std::string where_;
  bool ran_ = false;
  std::map<std::string, std::string> before_;    // the files as the first run found them
  std::map<std::string, std::string> expected_;  // what the files hold from here on
};

class SessionCaseTest : public ::testing::TestWithParam<Case> {};

TEST_P(SessionCaseTest, Runs) { Session().Run(GetParam()); }

void PrintTo(const Case& c, std::ostream* out) { *out << c.file << ":" << c.line; }

INSTANTIATE_TEST_SUITE_P(Cases, SessionCaseTest, ::testing::ValuesIn(LoadCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kv5

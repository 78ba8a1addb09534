#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/entry_number.h"

namespace kv5 {
namespace {

Options Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "kv5save");
  return ParseOptions(static_cast<int>(arguments.size()), arguments.data());
}

std::vector<std::string> Positional(const Options& options) {
  return {options.positional.begin(), options.positional.end()};
}

TEST(OptionsTest, TheSaveAloneIsReadMode) {
  const Options options = Parse({"KV5SaveData"});
  EXPECT_EQ(options.mode, RunMode::kRead);
  EXPECT_FALSE(options.into_directories);
  EXPECT_FALSE(options.aligned_text);
  EXPECT_EQ(Positional(options), std::vector<std::string>{"KV5SaveData"});
}

TEST(OptionsTest, EveryModeHasAShortAndALongForm) {
  const std::vector<std::pair<std::vector<const char*>, RunMode>> cases = {
      {{"-r", "-read"}, RunMode::kRead},
      {{"-w", "-write"}, RunMode::kWrite},
      {{"-x", "-extract"}, RunMode::kExtract},
      {{"-rp", "-replace"}, RunMode::kReplace},
      {{"-xt", "-extractthumbnail"}, RunMode::kExtractThumbnail},
      {{"-rt", "-replacethumbnail"}, RunMode::kReplaceThumbnail},
  };
  for (const auto& [forms, mode] : cases) {
    for (const char* form : forms) EXPECT_EQ(Parse({"-w", form, "save"}).mode, mode) << form;
  }
}

TEST(OptionsTest, OptionsEndAtTheFirstPositionalArgument) {
  const Options options = Parse({"save", "-x", "5"});
  EXPECT_EQ(options.mode, RunMode::kRead);
  EXPECT_EQ(Positional(options), (std::vector<std::string>{"save", "-x", "5"}));
}

TEST(OptionsTest, TheLastModeWinsAndFlagsOnlyTurnOn) {
  const Options options = Parse({"-x", "-p", "-tab", "-w", "-path", "save", "text"});
  EXPECT_EQ(options.mode, RunMode::kWrite);
  EXPECT_TRUE(options.into_directories);
  EXPECT_TRUE(options.aligned_text);
}

TEST(OptionsTest, UnknownOptionsAreSkipped) {
  for (const char* unknown : {"-X", "-foo", "-", "-s", "-show", "-R", "-rx"}) {
    const Options options = Parse({unknown, "save"});
    EXPECT_EQ(options.mode, RunMode::kRead) << unknown;
    EXPECT_FALSE(options.into_directories || options.aligned_text) << unknown;
    EXPECT_EQ(Positional(options), std::vector<std::string>{"save"}) << unknown;
  }
  EXPECT_TRUE(Parse({"-p", "-t"}).positional.empty());
}

TEST(EntryNumberTest, ReadsLikeAtoiAndNeverWraps) {
  const std::vector<std::pair<const char*, std::int32_t>> cases = {
      {"40", 40},        {"40abc", 40},  {"  +7", 7},    {"\t-3", -3},
      {"abc", 0},        {"", 0},        {"- 5", 0},     {"0", 0},
      {"119", 119},      {"2147483647", 2147483647},   {"99999999999", 2147483647},
      {"4294967297", 2147483647},        {"-99999999999", -2147483647 - 1},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ReadEntryNumberArgument(text).as_read, expected) << '"' << text << '"';
  }
}

TEST(EntryNumberTest, OnlyOneTo118SelectASlot) {
  EXPECT_FALSE(ReadEntryNumberArgument("0").valid());
  EXPECT_TRUE(ReadEntryNumberArgument("1").valid());
  EXPECT_EQ(ReadEntryNumberArgument("1").slot(), 0);
  EXPECT_TRUE(ReadEntryNumberArgument("118").valid());
  EXPECT_FALSE(ReadEntryNumberArgument("119").valid());
  EXPECT_FALSE(ReadEntryNumberArgument("-3").valid());
  EXPECT_FALSE(ReadEntryNumberArgument("4294967297").valid());
}

}  // namespace
}  // namespace kv5

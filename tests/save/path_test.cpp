#include "save/path.h"

#include <gtest/gtest.h>

#include <string>

#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::StdoutCapture;

TEST(PathTest, TheFileNameFollowsTheLastSeparatorAndOnWindowsADrive) {
  struct Example {
    std::string path, posix, windows;
  };
  const Example examples[] = {
      {"KV5SaveData", "KV5SaveData", "KV5SaveData"},
      {"old/KV5SaveData", "KV5SaveData", "KV5SaveData"},
      {"/home/me/KV5SaveData", "KV5SaveData", "KV5SaveData"},
      {"C:\\saves\\KV5SaveData", "KV5SaveData", "KV5SaveData"},
      {"z:/saves\\old/KV5SaveData", "KV5SaveData", "KV5SaveData"},
      {"\\\\server\\share\\KV5SaveData", "KV5SaveData", "KV5SaveData"},
      {"C:KV5SaveData", "C:KV5SaveData", "KV5SaveData"},
      {"1:KV5SaveData", "1:KV5SaveData", "1:KV5SaveData"},
      {"my save", "my save", "my save"},
  };
  for (const Example& example : examples) {
    EXPECT_EQ(FileNameOf(example.path, PathRules::kPosix), example.posix) << example.path;
    EXPECT_EQ(FileNameOf(example.path, PathRules::kWindows), example.windows) << example.path;
  }
}

TEST(PathTest, WithoutDirectoriesNamesStandBesideTheSave) {
  for (const PathRules rules : {PathRules::kPosix, PathRules::kWindows}) {
    EXPECT_EQ(TextFileNameFor("C:\\saves\\KV5SaveData", false, rules),
              "C:\\saves\\KV5SaveData.txt");
    EXPECT_EQ(NewSaveNameFor("old/KV5SaveData", false, rules), "old/KV5SaveData.new");
  }
}

TEST(PathTest, WithDirectoriesNamesTakeOnlyTheSavesFileName) {
  // A save in the current directory gives the names it always gave.
  EXPECT_EQ(TextFileNameFor("KV5SaveData", true, PathRules::kPosix), "txt/KV5SaveData.txt");
  EXPECT_EQ(TextFileNameFor("KV5SaveData", true, PathRules::kWindows), "txt/KV5SaveData.txt");
  EXPECT_EQ(NewSaveNameFor("KV5SaveData", true, PathRules::kPosix), "save/KV5SaveData");
  EXPECT_EQ(NewSaveNameFor("KV5SaveData", true, PathRules::kWindows), "save\\KV5SaveData");

  EXPECT_EQ(TextFileNameFor("/home/me/KV5SaveData", true, PathRules::kPosix),
            "txt/KV5SaveData.txt");
  EXPECT_EQ(NewSaveNameFor("old/KV5SaveData", true, PathRules::kPosix), "save/KV5SaveData");
  EXPECT_EQ(TextFileNameFor("C:\\saves\\KV5SaveData", true, PathRules::kWindows),
            "txt/KV5SaveData.txt");
  EXPECT_EQ(NewSaveNameFor("C:KV5SaveData", true, PathRules::kWindows), "save\\KV5SaveData");
}

TEST(PathTest, FormedNamesThatDoNotFitAreRefusedWithTheWholeName) {
  const std::string longest_save(2599, 's');
  EXPECT_EQ(TextFileNameFor(longest_save, false)->size(), 2603u);
  EXPECT_EQ(NewSaveNameFor(longest_save, false)->size(), 2603u);

  // "txt/" and ".txt" around the file name, "save/" before it.
  const std::string fits(2595, 'f');
  EXPECT_EQ(TextFileNameFor("dir/" + fits, true)->size(), 2603u);
  EXPECT_EQ(NewSaveNameFor("dir/" + fits + "fff", true)->size(), 2603u);

  StdoutCapture capture;
  EXPECT_FALSE(TextFileNameFor("dir/" + fits + "f", true));
  EXPECT_FALSE(NewSaveNameFor("dir/" + fits + "ffff", true, PathRules::kWindows));
  EXPECT_EQ(capture.Take(), "Error: Path is too long: txt/" + fits + "f.txt\n" +
                                "Error: Path is too long: save\\" + fits + "ffff\n");
}

}  // namespace
}  // namespace kv5

#include "save/file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::ToolSession;

TEST(OutputFileTest, ACommittedFileHoldsWhatWasWritten) {
  ToolSession dir;
  OutputFile file(dir.PathOf("out.bin"));
  ASSERT_TRUE(file.is_open());
  file.Write(std::string("abc"));
  file.Write(std::string("def"));
  EXPECT_TRUE(file.Commit(OutputFile::Durability::kSyncToDisk));
  EXPECT_EQ(dir.ReadText("out.bin"), "abcdef");
}

TEST(OutputFileTest, AFileNeverCommittedIsRemoved) {
  ToolSession dir;
  { OutputFile(dir.PathOf("out.bin")).Write(std::string("partial")); }
  EXPECT_FALSE(dir.Exists("out.bin"));
}

TEST(OutputFileTest, AFailedWriteRemovesThePartialFile) {
  ToolSession dir;
  ASSERT_EQ(symlink("/dev/full", dir.PathOf("full.bin").c_str()), 0);
  OutputFile file(dir.PathOf("full.bin"));
  ASSERT_TRUE(file.is_open());
  file.Write(std::string(100000, 'x'));
  EXPECT_FALSE(file.Commit(OutputFile::Durability::kSyncToDisk));
  EXPECT_FALSE(dir.Exists("full.bin"));
}

TEST(FileTest, ReadsAFileWholeOrNotAtAll) {
  ToolSession dir;
  dir.Write("data.bin", std::string("0123456789"));
  File file = File::Open(dir.PathOf("data.bin"), "rb");
  ASSERT_TRUE(file);
  EXPECT_EQ(file.Length(), 10);
  EXPECT_EQ(file.ReadExactly(10)->size(), 10u);

  File again = File::Open(dir.PathOf("data.bin"), "rb");
  EXPECT_FALSE(again.ReadExactly(9)) << "a file longer than expected is not read whole";

  File directory = File::Open(dir.PathOf("."), "rb");
  if (directory) {
    const std::optional<std::int64_t> length = directory.Length();
    EXPECT_FALSE(length && directory.ReadExactly(*length)) << "a directory is no file";
  }
}

TEST(FileTest, ReplacingPutsTheNewFileInPlaceOfTheOld) {
  ToolSession dir;
  dir.Write("old", std::string("old"));
  dir.Write("new", std::string("new"));
  EXPECT_TRUE(ReplaceFile(dir.PathOf("new"), dir.PathOf("old")));
  EXPECT_EQ(dir.ReadText("old"), "new");
  EXPECT_FALSE(dir.Exists("new"));
  EXPECT_FALSE(ReplaceFile(dir.PathOf("missing"), dir.PathOf("old")));
  EXPECT_EQ(dir.ReadText("old"), "new");
}

}  // namespace
}  // namespace kv5

#include "save/file.h"

#include <gtest/gtest.h>

#include "support/tool_session.h"

namespace kv5 {
namespace {

TEST(FileTest, AnOutputFileCountsOnlyOnceCommitted) {
  testing::ToolSession dir;
  { OutputFile(dir.PathOf("dropped.bin")).Write(std::string("partial")); }
  EXPECT_FALSE(dir.Exists("dropped.bin"));
  OutputFile file(dir.PathOf("kept.bin"));
  file.Write(std::string("abc"));
  EXPECT_TRUE(file.Commit(OutputFile::Durability::kSyncToDisk));
  EXPECT_EQ(dir.ReadText("kept.bin"), "abc");
}

TEST(FileTest, AFileIsReadWholeOrNotAtAll) {
  testing::ToolSession dir;
  dir.Write("data.bin", std::string("0123456789"));
  EXPECT_EQ(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(10)->size(), 10u);
  EXPECT_FALSE(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(9)) << "longer than expected";
  EXPECT_FALSE(File::Open(dir.PathOf("data.bin"), "rb").ReadExactly(11)) << "shorter than expected";
  EXPECT_FALSE(MoveFileOnto(dir.PathOf("missing"), dir.PathOf("data.bin")));
  EXPECT_EQ(dir.ReadText("data.bin"), "0123456789");
}

}  // namespace
}  // namespace kv5

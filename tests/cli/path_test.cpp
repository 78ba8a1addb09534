// Long paths through the real binary: the longest save path the tool takes,
// in a directory as deep as a file system allows.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::ToolSession;

const std::string kLoaded = "Save data loaded.\nKestrelvane 5 save detected.\n";
const std::string kEdited =
    "Text file loaded.\nProcessing save data.\nFound 2 custom character entries.\n"
    "Modified 0 entries.\nWrote new save file.\n";

TEST(LongPathTest, ASavePathTooLongForItsBufferIsRefused) {
  ToolSession session;
  const std::string too_long(2600, 's');
  EXPECT_EQ(session.Run({too_long}, 1), "Error: Path is too long: " + too_long + "\n");
  EXPECT_TRUE(session.List().empty());
}

TEST(LongPathTest, TheLongestSavePathIsReadAndWrittenWithAndWithoutDirectories) {
  ToolSession session;
  std::string path;
  for (int depth = 0; depth < 12; ++depth) {
    path += std::string(199, 'd');
    ASSERT_EQ(mkdir(session.PathOf(path).c_str(), 0755), 0);
    path += '/';
  }
  const std::string name(2599 - path.size(), 'f');
  path += name;
  session.Write(path, builder::SaveBuilder(7).WithEntry(1).WithEntry(3).Build());
  session.Write("edit.txt", std::string());

  const std::string read = kLoaded + "Processing save data.\nFound 2 custom character entries.\n";
  EXPECT_EQ(session.Run({path}), read + "Wrote " + path + ".txt.\n");
  EXPECT_EQ(session.Run({"-w", path, "edit.txt"}), kLoaded + kEdited);
  EXPECT_EQ(session.Run({"-p", path}), read + "Wrote txt/" + name + ".txt.\n");
  EXPECT_EQ(session.Run({"-p", "-w", path, "edit.txt"}), kLoaded + kEdited);
  EXPECT_EQ(session.Read("save/" + name), session.Read(path));
}

}  // namespace
}  // namespace kv5

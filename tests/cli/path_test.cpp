// Paths that do not fit the tool's buffers, through the real binary.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::ToolSession;

const std::string kLoaded = "Save data loaded.\nKestrelvane 5 save detected.\n";

TEST(PathTest, PathsThatDoNotFitTheirBufferAreRefusedBeforeAnythingIsWritten) {
  ToolSession session;
  const std::string too_long(2600, 's');
  EXPECT_EQ(session.Run({too_long}), "Error: Path is too long: " + too_long + "\n");

  // A save path of 2599 characters fits, but not with "txt/" and ".txt".
  std::string path;
  for (int depth = 0; depth < 12; ++depth) {
    path += std::string(199, 'd');
    ASSERT_EQ(mkdir(session.PathOf(path).c_str(), 0755), 0);
    path += '/';
  }
  path += std::string(2599 - path.size(), 'f');
  session.Write(path, builder::SaveBuilder(7).WithEntry(1).WithEntry(3).Build());
  EXPECT_EQ(session.Run({"-p", path}), kLoaded + "Error: Path is too long: txt/" + path + ".txt\n");
  session.Write("edit.txt", std::string());
  EXPECT_EQ(session.Run({"-p", "-w", path, "edit.txt"}),
            kLoaded +
                "Text file loaded.\nProcessing save data.\nFound 2 custom character entries.\n"
                "Modified 0 entries.\nError: Path is too long: save/" +
                path + "\n");
  EXPECT_FALSE(session.Exists("txt"));
  EXPECT_FALSE(session.Exists("save"));
}

}  // namespace
}  // namespace kv5

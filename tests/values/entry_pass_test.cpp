#include "values/entry_pass.h"

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

TEST(EntryPassTest, DecodingAndEncodingAgainChangesOnlyTheEndsOfTexts) {
  ClearTables();
  BuildFieldCatalogue();
  SaveImage image;
  const std::vector<std::uint8_t> original =
      builder::SaveBuilder(5).WithEntry(4).WithEntry(20).WithEntry(50).Build();
  image.bytes.assign(original.begin(), original.end());
  {
    testing::StdoutCapture quiet;
    ProcessSaveData(PassDirection::kDecode, image);
    ProcessSaveData(PassDirection::kEncode, image);
  }
  int changed = 0;
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (image.bytes[i] == original[i]) continue;
    // The only change allowed: a NUL after a decoded text, in place of the
    // unprintable byte that ended it.
    ++changed;
    EXPECT_EQ(image.bytes[i], 0) << "byte " << i;
    EXPECT_TRUE(original[i] < 32 || original[i] > 126) << "byte " << i;
  }
  EXPECT_LE(changed, 3 * 5);
}

}  // namespace
}  // namespace kv5

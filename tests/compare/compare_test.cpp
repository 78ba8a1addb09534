// Comparing saves with the real tool, over generated saves: what -d prints is
// a text that -w applies, and applied to the old save it carries the new
// save's fields over.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using testing::Bytes;
using testing::ToolSession;

constexpr int kSame = 0;
constexpr int kDiffer = 1;

// Characters of every sort: values the text form carries exactly, values it
// cannot show exactly, noise. `seed` varies which slots hold which, and
// where the save ends.
Bytes MixedSave(std::uint64_t seed) {
  SaveBuilder save(seed);
  for (int slot = 1 + static_cast<int>(seed % 3); slot <= 60;
       slot += 1 + static_cast<int>(seed % 4)) {
    if (slot % 3 == 0) {
      save.WithExactValues(slot);
    } else if (slot % 3 == 1) {
      save.WithAwkwardValues(slot);
    } else {
      save.WithEntry(slot);
    }
  }
  return save.WithLength(builder::SlotStart(61 + static_cast<int>(seed % 5))).Build();
}

// The lines of the sections of slots 1 to 50 that are not comments: the
// field lines, which the write mode applies.
std::string CustomFieldLines(const std::string& output) {
  std::istringstream lines(output);
  std::string found;
  int entry = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("[ENTRY", 0) == 0) {
      entry = std::stoi(line.substr(6));
    } else if (entry >= 1 && entry <= 50 && line.rfind('#', 0) != 0) {
      found += "[ENTRY" + std::to_string(entry) + "] " + line + "\n";
    }
  }
  return found;
}

const std::string kLoaded = "Save data loaded.\nKestrelvane 5 save detected.\n";

// The same save twice: nothing but the count. Any two saves: the printed
// text written into the old one leaves no field that reads differently in
// slots 1 to 50.
TEST(Compare, AppliedOutputLeavesNoFieldThatDiffers) {
  for (std::uint64_t seed = 1; seed <= 6; ++seed) {
    ToolSession session;
    session.Write("old", MixedSave(seed));
    session.Write("new", MixedSave(seed + 10));
    const char* aligned = seed % 2 == 0 ? "-t" : "-p";
    EXPECT_EQ(session.Run({"-d", aligned, "old", "old"}, kSame),
              kLoaded + kLoaded + "# 0 entries differ.\n")
        << "seed " << seed;

    session.Write("changes.txt", session.Run({"-d", aligned, "old", "new"}, kDiffer));
    session.Run({"-w", "old", "changes.txt"});
    EXPECT_EQ(CustomFieldLines(session.Run({"-d", "old", "new"}, kDiffer)), "") << "seed " << seed;
    EXPECT_EQ(session.List(), (std::vector<std::string>{"changes.txt", "new", "old"}));
  }
}

// When the new save was made from the old one by a text that the export
// writes back exactly, the printed text makes the old save the new one, byte
// for byte.
TEST(Compare, AppliedOutputRepeatsAnExactEdit) {
  for (std::uint64_t seed = 1; seed <= 4; ++seed) {
    const Bytes old_save = MixedSave(seed);
    std::string edit;
    for (int entry = 1; entry <= 50; ++entry) {
      char bytes[64];
      std::snprintf(bytes, sizeof bytes, "Voice=%02X\nColor-Skin=%02X 00 FF 10 20 30 40 %02X\n",
                    entry * 5, entry, static_cast<int>(seed));
      edit += "[ENTRY" + std::to_string(entry) + "]\nName=Nineteen Characters\nName 2=V" +
              std::to_string(entry) + "\nScale-Head=" + std::to_string(entry * 0.015625) + "\n" +
              bytes;
    }
    ToolSession session;
    session.Write("old", old_save);
    session.Write("new", old_save);
    session.Write("edit.txt", edit);
    session.Run({"-w", "new", "edit.txt"});
    session.Write("changes.txt", session.Run({"-d", "old", "new"}, kDiffer));
    session.Run({"-w", "old", "changes.txt"});
    EXPECT_TRUE(session.Read("old") == session.Read("new")) << "seed " << seed;
  }
}

// A byte where no field lies is shown at its offset, and the printed text
// written back changes nothing.
TEST(Compare, AByteOutsideTheFieldsIsShownAndLeftAlone) {
  const std::size_t kFree[] = {0x000C, 0x0400, 0x2000, 0x3410};
  for (std::uint64_t seed = 1; seed <= 4; ++seed) {
    const Bytes old_save = SaveBuilder(seed).WithAwkwardValues(7).WithExactValues(9).Build();
    const int slot = seed % 2 == 0 ? 7 : 9;
    const std::size_t offset = kFree[seed - 1];
    Bytes new_save = old_save;
    new_save[builder::SlotStart(slot) + offset] ^= 0x5A;
    ToolSession session;
    session.Write("old", old_save);
    session.Write("new", new_save);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "[ENTRY%d]\n# Bytes 0x%04zX-0x%04zX differ (no known field).\n"
                  "# 1 entries differ.\n",
                  slot, offset, offset);
    const std::string output = session.Run({"-d", "old", "new"}, kDiffer);
    EXPECT_EQ(output, kLoaded + kLoaded + expected);
    session.Write("changes.txt", output);
    session.Run({"-w", "old", "changes.txt"});
    EXPECT_TRUE(session.Read("old") == old_save) << "seed " << seed;
  }
}

}  // namespace
}  // namespace kv5

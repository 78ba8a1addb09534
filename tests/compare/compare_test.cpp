// The texts the real tool prints, over generated saves, written back with -w:
// an unchanged export changes no byte, and what -d prints carries the new
// save's fields over to the old one.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::Bytes;
using testing::ToolSession;

// Characters of every sort in custom and replay slots: values the text form
// carries exactly, values it cannot show exactly, noise. `seed` varies which
// slots hold which, and where the save ends (seeds 6 and 16: at its end).
Bytes MixedSave(int seed) {
  builder::SaveBuilder save(static_cast<std::uint64_t>(seed));
  for (int slot = 1 + seed % 3; slot <= 118; slot += 1 + seed % 4) {
    if (slot % 3 == 0) save.WithExactValues(slot);
    if (slot % 3 == 1) save.WithAwkwardValues(slot);
    if (slot % 3 == 2) save.WithEntry(slot);
  }
  if (seed % 10 != 6) save.WithLength(builder::SlotStart(61 + seed % 5));
  return save.Build();
}

// The field lines of the sections of slots 1 to 50, which the write mode
// applies, each after its section.
std::string CustomFieldLines(const std::string& output) {
  std::istringstream lines(output);
  std::string found;
  int entry = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("[ENTRY", 0) == 0) entry = std::stoi(line.substr(6));
    if (entry >= 1 && entry <= 50 && line[0] != '#' && line[0] != '[')
      found += std::to_string(entry) + ": " + line + "\n";
  }
  return found;
}

// (A compare of saves that differ ends with status 1.)
// Any save read to text, plain or aligned, and written back unchanged comes
// out byte for byte. Any two saves: the printed text written into the old
// one leaves no field that reads differently in slots 1 to 50. A copy
// changed by an exact edit of every custom entry (names, a float, bytes):
// the printed text makes the old save the copy, byte for byte.
TEST(Compare, AppliedOutputCarriesTheNewSavesFieldsOver) {
  for (int seed = 1; seed <= 6; ++seed) {
    ToolSession session;
    const Bytes old = MixedSave(seed);
    session.Write("old", old);
    session.Run({seed % 2 == 0 ? "-t" : "-r", "old"});
    session.Run({"-w", "old", "old.txt"});
    EXPECT_TRUE(session.Read("old") == old) << "seed " << seed;
    session.Write("new", MixedSave(seed + 10));
    session.Write("changes.txt", session.Run({"-d", seed % 2 == 0 ? "-t" : "-p", "old", "new"}, 1));
    session.Run({"-w", "old", "changes.txt"});
    EXPECT_EQ(CustomFieldLines(session.Run({"-d", "old", "new"}, 1)), "") << "seed " << seed;

    std::string edit;
    for (int entry = 1; entry <= 50; ++entry) {
      const std::string n = std::to_string(entry);
      edit += "[ENTRY" + n + "]\nName=Nineteen Characters\nName 2=V" + n + "\nVoice=" + n +
              "\nColor-Skin=" + n + " 00 FF 10 20 30 40 " + std::to_string(seed) +
              "\nScale-Head=" + std::to_string(entry * 0.015625) + "\n";
    }
    session.Write("new", session.Read("old"));
    session.Write("edit.txt", edit);
    session.Run({"-w", "new", "edit.txt"});
    session.Write("changes.txt", session.Run({"-d", "old", "new"}, 1));
    session.Run({"-w", "old", "changes.txt"});
    EXPECT_TRUE(session.Read("old") == session.Read("new")) << "seed " << seed;
  }
}

}  // namespace
}  // namespace kv5

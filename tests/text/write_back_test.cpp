// Writing the text back with the real tool: a line that says what the export
// says changes nothing, and every other line is written.

#include <gtest/gtest.h>

#include <string>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using testing::Bytes;
using testing::ToolSession;

constexpr std::size_t kScaleHead = 116;
constexpr std::size_t kName = 13249;

// Any save, with entries of every kind in custom and replay slots, read to
// text and written back unchanged, comes out byte for byte as it went in.
TEST(WriteBack, AnUnchangedExportChangesNoByte) {
  for (std::uint64_t seed = 1; seed <= 12; ++seed) {
    SaveBuilder save(seed);
    for (int slot = 1; slot <= 118; slot += 1 + static_cast<int>(seed % 3)) {
      if (slot % 5 == 0) save.WithExactValues(slot);
      if (slot % 5 != 0 && slot % 7 == 0) save.WithEntry(slot);
      if (slot % 5 != 0 && slot % 7 != 0) save.WithAwkwardValues(slot);
    }
    const Bytes before = save.Build();
    ToolSession session;
    session.Write("KV5SaveData", before);
    session.Run({seed % 2 == 0 ? "-t" : "-r", "KV5SaveData"});
    session.Run({"-w", "KV5SaveData", "KV5SaveData.txt"});
    EXPECT_TRUE(session.Read("KV5SaveData") == before) << "seed " << seed;
  }
}

struct Edit {
  const char* line;  // replaces the line of its field in the export of slot 1
  std::size_t offset;
  Bytes bytes;  // what the entry holds there afterwards
};

// One field line of the whole export edited, every other line as exported:
// the edit takes effect, whichever of two fields sharing bytes it is on,
// and nothing else changes. The entry holds 1.0000001 at "Scale-Head" and
// "Height 2" (shown as 1.000000) and the name "J" followed by "ürgen".
TEST(WriteBack, AnEditedLineInTheWholeExportIsWritten) {
  const Edit edits[] = {
      {"Character Type=12 34", 20, {0x12, 0x34}},
      {"Height 1=12 34", 20, {0x12, 0x34}},
      {"Height 2=1.500000", kScaleHead, {0x3F, 0xC0, 0x00, 0x00}},
      {"Scale-Head=1.500000", kScaleHead, {0x3F, 0xC0, 0x00, 0x00}},
      {"Height 3=-2.000000", 124, {0xC0, 0x00, 0x00, 0x00}},
      {"Scale-Entirebody=-2", 124, {0xC0, 0x00, 0x00, 0x00}},
      {"Voice Malfestation=AB", 17, {0xAB}},
      {"Face=AB CD", 17, {0xAB, 0xCD}},
      // Typed on purpose: a different text of the same shown value is written.
      {"Scale-Head=1.0", kScaleHead, {0x3F, 0x80, 0x00, 0x00}},
      {"Height 2=1.00000001", kScaleHead, {0x3F, 0x80, 0x00, 0x00}},
      // The shown name unchanged keeps what follows it; another one replaces it.
      {"Name=J  (note)", kName, {'J', 0xC3, 0xBC}},
      {"Name=Jo", kName, {'J', 'o', 0x00}},
  };
  const Bytes before = SaveBuilder(77)
                           .WithAwkwardValues(1)
                           .WithBytes(1, kScaleHead, {0x3F, 0x80, 0x00, 0x01})
                           .WithBytes(1, kName, {'J', 0xC3, 0xBC, 'r', 'g', 'e', 'n', 0})
                           .WithExactValues(2)
                           .Build();
  for (const Edit& edit : edits) {
    ToolSession session;
    session.Write("KV5SaveData", before);
    session.Run({"-r", "KV5SaveData"});
    std::string text = session.ReadText("KV5SaveData.txt");
    const std::string line = edit.line;
    const std::size_t start = text.find("\r\n" + line.substr(0, line.find('=') + 1)) + 2;
    ASSERT_LT(start, text.find("[ENTRY2]")) << edit.line;
    text.replace(start, text.find("\r\n", start) - start, line);
    session.Write("KV5SaveData.txt", text);
    session.Run({"-w", "KV5SaveData", "KV5SaveData.txt"});

    Bytes expected = before;
    std::copy(edit.bytes.begin(), edit.bytes.end(),
              expected.begin() + static_cast<long>(builder::SlotStart(1) + edit.offset));
    EXPECT_TRUE(session.Read("KV5SaveData") == expected) << edit.line;
  }
}

}  // namespace
}  // namespace kv5

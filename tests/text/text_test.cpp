// The text form: the export's own "%f" for floats against the C library's,
// lines longer than a read, the value store cleared after an import, and an
// edited line of a whole export written back with the real tool (the
// unchanged export: compare/compare_test.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"
#include "text/float_text.h"
#include "text/line_reader.h"
#include "text/text_import.h"
#include "values/codec.h"
#include "values/entry_pass.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using testing::Bytes;
using testing::ToolSession;

// Empty when the export writes what printf writes; otherwise both.
std::string Mismatch(float value) {
  char ours[kLongestFloatText], library[64];
  std::snprintf(library, sizeof library, "%f", static_cast<double>(value));
  const std::string text(ours, PutFloatText(ours, value));
  return text == library ? "" : text + " instead of " + library;
}

// Values where the digits are hard to get right: ties that go to the even
// digit, the ends of the range, infinities and NaNs, the edges of rounding
// to six decimals; then every exponent with many mantissas, the smallest and
// largest included, and every multiple of 1/128 in the range saves use.
TEST(FloatTextTest, WritesWhatPrintfWrites) {
  for (const float value :
       {0.0078125f, 0.0234375f, -1e-9f, -1562.5f, 0x1p-149f, 0x1p-126f, 0x1.fffffep127f, -HUGE_VALF,
        -NAN, 5e-7f, 4.9999997e-7f, 0.9999995f, 999999.9999f, 0x1p40f, 0x1.fffffep39f, 0x3p-41f})
    EXPECT_EQ(Mismatch(value), "");
  std::uint64_t state = 12345;
  for (std::uint32_t exponent = 0; exponent < 256; ++exponent)
    for (std::uint32_t i = 0; i < 4000; ++i) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      const std::uint32_t mantissa = i == 0 ? 0 : i == 1 ? 0x7FFFFF : state >> 41;
      const std::uint32_t bits = (i & 1) << 31 | exponent << 23 | mantissa;
      float value = 0;
      std::memcpy(&value, &bits, sizeof value);
      ASSERT_EQ(Mismatch(value), "") << "bits " << bits;
    }
  for (int n = -128 * 4096; n <= 128 * 4096; ++n)
    ASSERT_EQ(Mismatch(static_cast<float>(n) / 128), "") << n << "/128";
}

// The import in-process, for what a case file cannot show: that a message
// counts against the run's status, and lines longer than a read. Reads
// `text` as the text file; returns what the import printed, which is
// a problem for the run's status unless it is only the loaded line.
std::string Import(const std::string& text, ValueStore& store) {
  TextLines lines(text);
  MessageText report;
  const ImportedText result = ReadTextFile(lines, "edit.txt", store, report);
  EXPECT_EQ(result.problem_reported, report.text() != "Text file loaded.\n") << report.text();
  return report.Take();
}

// A text in memory gives the lines a file of the same bytes gives: pieces of
// 1059 characters, either line end, a NUL ending its piece, no last LF.
TEST(TextImportTest, TextInMemoryGivesTheLinesOfTheSameFile) {
  std::uint64_t seed = 5;
  const auto next = [&] {
    return (seed = seed * 6364136223846793005u + 1442695040888963407u) >> 33;
  };
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const std::size_t length = next() % 5000;
    for (std::size_t k = 0; k < length; ++k) {
      const char pick[] = {'a', '=', ' ', '\r', '\n', '\0', '['};
      text +=
          next() % 60 == 0 ? std::string(1058 + next() % 3, 'x') : std::string(1, pick[next() % 7]);
    }
    std::FILE* stream = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), stream);
    std::rewind(stream);
    File file(stream);
    FileLines from_file(file);
    TextLines from_memory(text);
    std::string_view a;
    std::string_view b;
    int line = 0;
    for (bool more = true; more; ++line) {
      more = from_file.Next(a);
      ASSERT_EQ(from_memory.Next(b), more) << "round " << round << ", line " << line;
      if (more) {
        ASSERT_EQ(a, b) << "round " << round << ", line " << line;
      }
    }
    EXPECT_FALSE(from_file.failed());
  }
}

TEST(TextImportTest, ALongLineIsReadAsSeveralLinesOf1059Characters) {
  ValueStoreMemory memory;
  const auto Import = [&](const std::string& text) { return kv5::Import(text, memory.store()); };
  const ValueRecord& voice = memory.store().entries[0].values[kVoiceField];
  // 1059 characters without "=": a name far too long; then the line's end
  // on its own, an empty line; the next line is numbered two further on.
  EXPECT_EQ(Import("[ENTRY1]\n" + std::string(1059, 'x') + "\nVoice=12\nBogus\n"),
            "Major error thing warning. Length of variable name exeeded during ReadEnemyData()\n"
            "Invalid variable name found at line 4.\nText file loaded.\n");
  EXPECT_EQ(voice.byte_value, 0x12);
  EXPECT_EQ(Import("[ENTRY1]\nVoice=3" + std::string(1060, ' ') + "4\n"),
            "Invalid variable name found at line 2.\nText file loaded.\n");
  EXPECT_EQ(voice.byte_value, 0x30) << "the 4 is in the next piece, a line of its own";
}

// True when every entry of the store holds only zero bytes, as at start:
// the store is left to pages never written until a run needs them.
bool StoreIsClear(const ValueStore& store) {
  const auto& entries = store.entries;
  const auto* bytes = reinterpret_cast<const unsigned char*>(entries.data());
  return std::all_of(bytes, bytes + sizeof entries, [](unsigned char byte) { return byte == 0; });
}

// The clearing of the value store writes only the entries a run touched:
// after a decode and an import the whole store must be as clear as at start.
TEST(ValueStoreTest, ClearingAfterDecodeAndImportLeavesEveryEntryCleared) {
  ValueStoreMemory memory;
  ValueStore& store = memory.store();
  const auto StoreIsClear = [&] { return kv5::StoreIsClear(store); };
  ASSERT_TRUE(StoreIsClear());
  SaveImage image{ImageBytes(100), Edition::kFive};
  DecodeValue(kNameField, store.entries[0], 0, image);
  EXPECT_TRUE(StoreIsClear()) << "a field found absent touches nothing";

  SaveBuilder save(9);
  for (int slot = 1; slot <= 118; slot += 3) save.WithExactValues(slot);
  const Bytes bytes = save.WithEntry(2).Build();
  image.bytes.assign(bytes.begin(), bytes.end());
  MessageText quiet;
  ProcessSaveData(PassDirection::kDecode, image, store, quiet);
  Import(
      "[ENTRY1to200]\nName=Abc\nScale-Head=2.5\nModel Type=01 02\nVoice=7F\n"
      "[ENTRY5]\nName=this one is too long to be stored\nColor-Skin=1 2 3\n",
      store);
  ASSERT_FALSE(StoreIsClear()) << "the decode and the import stored values";
  EXPECT_TRUE(store.entries[199].touched) << "the range reaches the last entry";
  ResetValueStore(store);
  EXPECT_TRUE(StoreIsClear());
}

constexpr std::size_t kScaleHead = 116;
constexpr std::size_t kName = 13249;

// One field line of the whole export edited, every other line as exported:
// the edit takes effect, whichever of two fields sharing bytes it is on,
// and nothing else changes. The entry holds 1.0000001 at "Scale-Head" and
// "Height 2" (shown as 1.000000) and the name "J" followed by "ürgen".
TEST(WriteBack, AnEditedLineInTheWholeExportIsWritten) {
  // The line that replaces the line of its field in the export of slot 1, and
  // what the entry holds afterwards at which offset.
  const std::tuple<std::string, std::size_t, Bytes> edits[] = {
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
  ToolSession session;
  session.Write("KV5SaveData", before);
  session.Run({"-r", "KV5SaveData"});
  const std::string exported = session.ReadText("KV5SaveData.txt");
  for (const auto& [line, offset, bytes] : edits) {
    std::string text = exported;
    const std::size_t start = text.find("\r\n" + line.substr(0, line.find('=') + 1)) + 2;
    ASSERT_LT(start, text.find("[ENTRY2]")) << line;
    text.replace(start, text.find("\r\n", start) - start, line);
    session.Write("edit.txt", text);
    session.Write("KV5SaveData", before);
    session.Run({"-w", "KV5SaveData", "edit.txt"});
    Bytes expected = before;
    std::copy(bytes.begin(), bytes.end(),
              expected.begin() + static_cast<long>(builder::SlotStart(1) + offset));
    EXPECT_TRUE(session.Read("KV5SaveData") == expected) << line;
  }
}

}  // namespace
}  // namespace kv5

// One session driven through operations decoded from the input. Byte 0 opens
// the save: modulo 3, a builder save that ends inside slot 52 (custom entries
// of every kind, a replay entry) or one that ends inside slot 5, or the save
// made of the next bytes, as many as the two bytes before them say. Then, up
// to 32 times, an operation byte (bit 7 aligned text, the rest modulo 9 which)
// and what the operation takes: a slot byte (0-127: 0 to 5, 128-253: -4 to
// 121, 254-255: the int range's ends), a length byte before bytes.
//
// The save keeps its length. Every answer of a slot operation is what the
// bytes say: the message of a refused slot, an extract that gives the slot's
// bytes, a replace that puts its bytes (a thumbnail's padded with zeros) and
// nothing else into the save. A text changes nothing when it reports neither
// success nor a write; the export applied back changes nothing and reports no
// problem; a field line is checked without a change. A comparison says the
// saves differ exactly when their bytes do, and "# 0 entries differ." alone
// when they do not. The characters are the slots that open with the entry
// signature, and the fields are there for those alone. After the operations
// the bytes between the entries are those of the save opened.

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "save_builder/save_builder.h"

namespace kv5::fuzz {
namespace {

// Builder saves of custom entries of every kind, one with a replay entry
// that ends inside slot 52, one that ends inside slot 5.
Bytes Built(bool replay) {
  builder::SaveBuilder save(7);
  save.WithExactValues(1).WithAwkwardValues(2).WithEntry(3).WithBlankEntry(4);
  if (replay) save.WithAwkwardValues(51);
  return save.WithLength(builder::SlotStart(replay ? 52 : 5) + 10).Build();
}
const Bytes kSaves[] = {Built(true), Built(false)};

// The input, read from the front; zeros past its end.
struct Input {
  const std::uint8_t* data;
  std::size_t size;

  std::uint8_t Byte() { return size > 0 ? (--size, *data++) : 0; }
  std::string Take(std::size_t count) {
    count = std::min(count, size);
    data += count, size -= count;
    return std::string(data - count, data);
  }
  int Slot() {
    const int byte = Byte();
    if (byte >= 254) return byte == 254 ? INT_MAX : INT_MIN;
    return byte < 128 ? byte % 6 : byte - 132;
  }
};

// What a slot operation must answer before it does anything: the refusal of
// a slot that is no slot, lies beyond the save or, for an extract, holds no
// entry; empty when it may go on.
std::string Refusal(const Bytes& save, int slot, bool extract) {
  const std::string number = std::to_string(slot);
  if (slot < 1 || slot > kSlotCount) return "Error: " + number + " is not a valid entry number.\n";
  if (!SlotInImage(static_cast<std::int64_t>(save.size()), slot - 1)) {
    return "Error: Save file isn't big enough to contain entry #" + number + ".\n";
  }
  if (extract && !SlotHoldsEntry(ConstByteSpan(save.data(), save.size()), slot - 1)) {
    return "Error: Entry #" + number + " is not valid in save file.\n";
  }
  return "";
}

// The entry's bytes, or its thumbnail's, in the save.
Bytes::iterator Start(Bytes& save, int slot, bool thumbnail) {
  return save.begin() + SlotOffset(slot - 1) + (thumbnail ? kThumbnailOffset : 0);
}

// Bytes of the input, after the signature or not, or as many bytes as the
// slot has room for, or one more.
void Replace(Session& session, Bytes& save, Input& input, bool thumbnail) {
  const int slot = input.Slot();
  const std::uint8_t how = input.Byte();
  const std::string taken = input.Take(input.Byte() * 4u);
  Bytes bytes(taken.begin(), taken.end());
  const std::size_t room = thumbnail ? kThumbnailSize : kEntrySize;
  if ((how & 1) != 0) bytes.insert(bytes.begin(), kEntrySignature.begin(), kEntrySignature.end());
  if ((how & 6) != 0) bytes.resize(room + (how & 6) / 6);
  const std::string name = thumbnail ? "image.ptc" : "entry.bin";
  const auto replace = thumbnail ? &Session::ReplaceThumbnail : &Session::ReplaceEntry;
  const Changed changed = (session.*replace)(slot, bytes.data(), bytes.size(), name);
  std::string expected = Refusal(save, slot, false);
  if (expected.empty() && (thumbnail ? bytes.size() > room : bytes.size() != room)) {
    expected = "Error: " + name + (thumbnail ? " is too big!\n" : " is not the correct size.\n");
  } else if (expected.empty()) {
    expected = name + " loaded.\n";
    bytes.resize(room);
    std::copy(bytes.begin(), bytes.end(), Start(save, slot, thumbnail));
  }
  const bool loaded = expected == name + " loaded.\n";
  if (changed.messages != expected || changed.ok != loaded || changed.written != loaded) {
    Fail("replace of slot %d (%zu bytes) answered %d %d %s", slot, bytes.size(), changed.ok,
         changed.written, changed.messages.c_str());
  }
}

void Extract(const Session& session, Bytes& save, int slot, bool thumbnail) {
  const auto extract = thumbnail ? &Session::ExtractThumbnail : &Session::ExtractEntry;
  const Extracted extracted = (session.*extract)(slot);
  const std::string expected = Refusal(save, slot, true);
  Bytes bytes;
  if (expected.empty()) {
    bytes.assign(Start(save, slot, thumbnail),
                 Start(save, slot, thumbnail) + (thumbnail ? kThumbnailSize : kEntrySize));
  }
  if (extracted.messages != expected || extracted.ok != expected.empty() ||
      extracted.bytes != bytes) {
    Fail("extract of slot %d answered %d, %zu bytes: %s", slot, extracted.ok,
         extracted.bytes.size(), extracted.messages.c_str());
  }
}

void CheckCharacters(const Session& session, const Bytes& save, int slot) {
  std::vector<int> expected, listed;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (Refusal(save, k, true).empty()) expected.push_back(k);
  }
  for (const Character& character : session.Characters()) {
    // A wrong replay flag lists no slot.
    const bool replay = character.slot > kCustomSlotCount;
    listed.push_back(character.replay == replay ? character.slot : 0);
  }
  const std::optional<CharacterFields> fields = session.Fields(slot);
  const bool held = std::find(expected.begin(), expected.end(), slot) != expected.end();
  if (listed != expected || fields.has_value() != held ||
      (fields && (fields->slot != slot || fields->editable != (slot <= kCustomSlotCount)))) {
    Fail("%zu characters listed, %zu expected; fields of slot %d: %d", listed.size(),
         expected.size(), slot, fields.has_value());
  }
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  using fuzz::Fail;
  // Sessions of the builder saves: two to work on, two to compare with.
  static const std::unique_ptr<Session> kSessions[] = {
      Session::Open(fuzz::kSaves[0], "").session, Session::Open(fuzz::kSaves[1], "").session,
      Session::Open(fuzz::kSaves[0], "").session, Session::Open(fuzz::kSaves[1], "").session};
  static Bytes save;  // what the session must hold
  fuzz::Input input{data, size};
  const std::uint8_t opening = input.Byte() % 3;
  Opened opened;
  if (opening == 2) {
    const std::size_t high = input.Byte();
    const std::string whole = input.Take(high << 8 | input.Byte());
    save.assign(whole.begin(), whole.end());
    opened = Session::Open(save, "KV5SaveData");
    if (opened.status !=
        (opened.session ? Opened::Status::kOpened : Opened::Status::kNotEditionFive)) {
      Fail("a save in memory opened as %d", static_cast<int>(opened.status));
    }
    if (!opened.session) return 0;
  } else {
    save = fuzz::kSaves[opening];
  }
  Session& session = opening < 2 ? *kSessions[opening] : *opened.session;

  for (int count = 0; count < 32 && input.size > 0; ++count) {  // some exports at most
    const std::uint8_t operation = input.Byte();
    const bool aligned = operation >= 128;
    const int which = operation % 128 % 9;
    if (which == 0) {
      const Changed changed = session.ApplyText(input.Take(input.Byte() * 8u), "text.txt");
      if (changed.ok || changed.written)
        save.assign(session.data(), session.data() + session.size());
    } else if (which <= 2) {
      fuzz::Replace(session, save, input, which == 2);
    } else if (which <= 4) {
      fuzz::Extract(session, save, input.Slot(), which == 4);
    } else if (which == 5) {
      const Session& other = input.Byte() % 2 == 0 ? session : *kSessions[2 + input.Byte() % 2];
      const Comparison comparison = session.Compare(other, aligned);
      const bool differ = !fuzz::SameBytes(other, save.data(), save.size());
      if (comparison.differ != differ ||
          (!differ &&
           (!comparison.slots.empty() || comparison.text() != "# 0 entries differ.\n"))) {
        Fail("a comparison said %d: %s", comparison.differ, comparison.text().c_str());
      }
    } else if (which == 6) {
      const Changed changed = session.ApplyText(session.ExportText(aligned).text, "text.txt");
      if (!changed.ok) Fail("the unchanged export reported: %s", changed.messages.c_str());
    } else if (which == 7) {
      const int slot = input.Slot();
      const std::string name = input.Take(input.Byte() % 32);
      session.CheckFieldLine(slot, name, input.Take(input.Byte() % 32));
    } else {
      fuzz::CheckCharacters(session, save, input.Slot());
    }
    if (!fuzz::SameBytes(session, save.data(), save.size())) {
      Fail("operation %d left bytes other than those expected", operation);
    }
  }
  if (opening == 2) return 0;
  // The next input starts from the builder save again: only entries change.
  const Bytes& original = fuzz::kSaves[opening];
  for (int slot = 1; slot <= kSlotCount && SlotInImage(original.size(), slot - 1); ++slot) {
    const std::uint8_t* entry = original.data() + SlotOffset(slot - 1);
    if (std::memcmp(entry, session.data() + SlotOffset(slot - 1), kEntrySize) != 0) {
      session.ReplaceEntry(slot, entry, kEntrySize, "entry.bin");
    }
  }
  if (!fuzz::SameBytes(session, original.data(), original.size())) {
    Fail("bytes outside every entry changed");
  }
  return 0;
}

// A builder save with one entry made of the input: the entry's signature and
// the bytes its fields cover, in ascending order (about 900 of them), from
// the place that byte 1 times 4 gives on; bytes the input does not reach keep
// the builder's values. Byte 0 picks the entry (bits 0-2 modulo 5: slot 1
// exact values, 2 awkward values, 3 noise, 4 zeros, replay slot 51 awkward
// values) and sets bit 3 aligned text, bit 4 the fuzzed save as the old one
// in the comparison, bit 5 a save that ends inside slot 51, bit 6 the
// comparison with another save, whose entries there are of other kinds (or
// none), instead of the builder save. With bit 7 the rest of the input is
// instead a whole save file, which must open as it is; if it is of the fifth
// edition, it is the save that is compared and written back.
//
// The comparison says the saves differ exactly when their bytes do. Each of
// its sections, in slot order, opens with the slot's header; every field line
// names a field whose value as the export writes it differs, and that the
// export writes for the new save, and gives that new value; no comment holds
// a section header. Then the save's export is applied to it unchanged: no
// byte may change, and no problem be reported.

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <sstream>

#include "fuzz_support.h"
#include "save_builder/save_builder.h"
#include "session/session.h"
#include "text/tokens.h"

namespace kv5::fuzz {
namespace {

constexpr int kSlots[] = {1, 2, 3, 4, 51};

// The save the input changes, and one to compare it with: the same but for
// entries of other kinds, or none, in the slots the input picks from.
const Bytes kBase = builder::SaveBuilder(5)
                        .WithExactValues(1)
                        .WithAwkwardValues(2)
                        .WithEntry(3)
                        .WithBlankEntry(4)
                        .WithAwkwardValues(51)
                        .WithLength(builder::SlotStart(52))
                        .Build();
const Bytes kOther = builder::SaveBuilder(5)
                         .WithAwkwardValues(1)
                         .WithThumbnail(1)
                         .WithExactValues(2)
                         .WithBlankEntry(3)
                         .WithExactValues(51)
                         .WithLength(builder::SlotStart(52))
                         .Build();

// The session of a save in memory; none when it is of another edition.
std::unique_ptr<Session> Opening(const Bytes& save) {
  Opened opened = Session::Open(save, "KV5SaveData");
  if (opened.status == Opened::Status::kUnreadable) Fail("a save in memory was unreadable");
  if (opened.session && !SameBytes(*opened.session, save.data(), save.size())) {
    Fail("the opened save differs");
  }
  return std::move(opened.session);
}

// The export's value of every field it writes for the character in `slot`.
std::map<std::string, std::string, std::less<>> ShownValues(const Session& save, int slot) {
  const std::optional<CharacterFields> fields = save.Fields(slot);
  if (!fields) Fail("a field line for slot %d, which holds no character in both saves", slot);
  std::map<std::string, std::string, std::less<>> shown;
  for (const FieldGroup& group : fields->groups) {
    for (const FieldValue& field : group.fields) {
      if (field.shown) shown.emplace(field.name, field.value);
    }
  }
  return shown;
}

void CheckComparison(const Session& old_save, const Session& new_save, bool aligned) {
  const Comparison comparison = old_save.Compare(new_save, aligned);
  if (comparison.differ == SameBytes(old_save, new_save.data(), new_save.size())) {
    Fail("the comparison says the saves differ: %d", comparison.differ);
  }
  int last = 0;
  for (const SlotDifference& difference : comparison.slots) {
    std::istringstream lines(difference.text);
    std::string line;
    std::getline(lines, line);
    if (difference.slot <= last || line != "[ENTRY" + std::to_string(difference.slot) + "]") {
      Fail("section of slot %d after slot %d opens with %s", difference.slot, last, line.c_str());
    }
    last = difference.slot;
    std::map<std::string, std::string, std::less<>> was, is;
    while (std::getline(lines, line)) {
      if (line[0] == '#') {
        for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (line.find("[entry") != std::string::npos) Fail("a comment holds %s", line.c_str());
        continue;
      }
      if (FindEntryHeader(line) >= 0) Fail("a field line holds a section header: %s", line.c_str());
      if (is.empty()) is = ShownValues(new_save, last), was = ShownValues(old_save, last);
      const std::size_t equals = line.find('=');
      const auto shown = is.find(WithoutTrailingSpaces(line.substr(0, equals)));
      if (equals == std::string::npos || shown == is.end() ||
          line.compare(equals + 1, shown->second.size(), shown->second) != 0) {
        Fail("slot %d: %s gives no value the export writes", last, line.c_str());
      }
      const auto old_value = was.find(shown->first);
      if (old_value != was.end() && old_value->second == shown->second) {
        Fail("slot %d: %s is printed but does not differ", last, line.c_str());
      }
    }
  }
  const std::string text = comparison.text();
  if (text.empty() || text.back() != '\n') Fail("the last line has no end");
}

}  // namespace
}  // namespace kv5::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv5;
  using fuzz::Opening;
  // Saves to compare with, and the two that the input's entry goes into.
  static const std::unique_ptr<Session> base = Opening(fuzz::kBase), other = Opening(fuzz::kOther);
  static const std::unique_ptr<Session> whole = Opening(fuzz::kBase),
                                        cut = Opening(Bytes(
                                            fuzz::kBase.begin(),
                                            fuzz::kBase.begin() + builder::SlotStart(51) + 1000));
  static const std::vector<std::size_t> settable = [] {
    std::vector<std::size_t> offsets;
    for (std::size_t k = 0; k < fuzz::FieldCoverage().size(); ++k) {
      if (k < kEntrySignature.size() || fuzz::FieldCoverage()[k] >= 0) offsets.push_back(k);
    }
    return offsets;
  }();
  static Bytes loaded;

  const std::uint8_t options = size > 0 ? data[0] : 0;
  const bool aligned = (options & 8) != 0;
  std::unique_ptr<Session> opened;
  Session* session = (options & 32) != 0 ? cut.get() : whole.get();
  const int slot = fuzz::kSlots[(options & 7) % 5];
  const auto entry_start = fuzz::kBase.begin() + builder::SlotStart(slot);
  if ((options & 128) != 0) {
    opened = Opening(Bytes(data + 1, data + size));
    if (!opened) return 0;  // not of the fifth edition
    session = opened.get();
  } else {
    Bytes entry(entry_start, entry_start + kEntrySize);
    for (std::size_t i = 2, k = size > 1 ? data[1] * 4u : 0; i < size && k < settable.size();
         ++i, ++k) {
      entry[settable[k]] = data[i];
    }
    // Refused where the save ends inside the slot.
    session->ReplaceEntry(slot, entry.data(), entry.size(), "entry.bin");
  }
  loaded.assign(session->data(), session->data() + session->size());

  const Session& compared = (options & 64) != 0 ? *other : *base;
  fuzz::CheckComparison((options & 16) != 0 ? *session : compared,
                        (options & 16) != 0 ? compared : *session, aligned);
  const Changed written = session->ApplyText(session->ExportText(aligned).text, "KV5SaveData.txt");
  if (!fuzz::SameBytes(*session, loaded.data(), loaded.size()) || !written.ok) {
    const auto changed = std::mismatch(loaded.begin(), loaded.end(), session->data());
    fuzz::Fail("the unchanged export changed byte %zd; it reported: %s",
               changed.first - loaded.begin(), written.messages.c_str());
  }
  if (!opened) session->ReplaceEntry(slot, &*entry_start, kEntrySize, "entry.bin");
  return 0;
}

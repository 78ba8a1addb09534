#include "session/session.h"

#include <utility>

#include "compare/compare_saves.h"
#include "save/file.h"
#include "save/slots.h"
#include "save/transfer.h"
#include "session/session_state.h"
#include "text/line_reader.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "text/tokens.h"
#include "text/unchanged_lines.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

// A slot number as the player gives it, as a slot index; nothing after the
// message the command line gives for a number that names no slot.
std::optional<int> SlotIndex(int number, Reporter& report) {
  if (number >= 1 && number <= kSlotCount) return number - 1;
  report.Say("Error: %i is not a valid entry number.\n", number);
  return std::nullopt;
}

Opened Refused(Opened::Status status, MessageText& report) {
  Opened opened;
  opened.status = status;
  opened.messages = report.Take();
  return opened;
}

Changed Outcome(bool ok, bool written, MessageText& report) {
  return Changed{ok, written, report.Take()};
}

// A session for the image `state` loaded, when it holds an edition 5 save.
Opened Opening(std::unique_ptr<Session::State> state, MessageText& report) {
  if (state->image.edition != Edition::kFive)
    return Refused(Opened::Status::kNotEditionFive, report);
  Opened opened;
  opened.status = Opened::Status::kOpened;
  opened.messages = report.Take();
  opened.session = std::make_unique<Session>(std::move(state));
  return opened;
}

}  // namespace

Session::Session(std::unique_ptr<State> state) : state_(std::move(state)) {}
Session::~Session() = default;
Session::Session(Session&&) noexcept = default;
Session& Session::operator=(Session&&) noexcept = default;

Opened Session::Open(const std::uint8_t* data, std::size_t size, std::string name) {
  MessageText report;
  auto state = std::make_unique<State>();
  state->name = std::move(name);
  LoadSaveData(ImageBytes(data, data + size), state->image, report);
  return Opening(std::move(state), report);
}

Opened Session::Open(const Bytes& bytes, std::string name) {
  return Open(bytes.data(), bytes.size(), std::move(name));
}

Opened Session::OpenFile(const std::string& path) {
  MessageText report;
  File file = File::OpenWithoutWaiting(path);
  if (!file) {
    report.Say("Error: Couldn't open %s.", path.c_str());
    return Refused(Opened::Status::kUnreadable, report);
  }
  auto state = std::make_unique<State>();
  state->name = path;
  if (!LoadSaveData(file, path, state->image, report)) {
    return Refused(Opened::Status::kUnreadable, report);
  }
  return Opening(std::move(state), report);
}

const std::string& Session::name() const { return state_->name; }
const std::uint8_t* Session::data() const { return state_->image.bytes.data(); }
std::size_t Session::size() const { return state_->image.bytes.size(); }
Bytes Session::bytes() const { return Bytes(data(), data() + size()); }

Exported Session::ExportText(bool aligned) {
  Exported exported;
  const Exported counted =
      ExportText(aligned, [&](std::string_view piece) { exported.text += piece; });
  exported.messages = counted.messages;
  return exported;
}

Exported Session::ExportText(bool aligned, const TextPieces& write) {
  MessageText report;
  ValueStore& store = state_->FreshStore();
  ProcessSaveData(PassDirection::kDecode, state_->image, store, report);
  kv5::ExportText(store, aligned, write);
  return Exported{report.Take(), {}};
}

namespace {

// The write mode's work on a session's image, from any source of lines.
Changed ApplyLines(Session::State& state, LineSource& lines, const std::string& text_name,
                   MessageText& report) {
  ValueStore& store = state.FreshStore();
  // Values of a text that could not be read to its end are not written: the
  // lines lost might have changed them.
  const ImportedText imported = ReadTextFile(lines, text_name, store, report);
  if (imported.read_failed) return Outcome(false, false, report);
  DropUnchangedValues(state.image, imported, store);
  ProcessSaveData(PassDirection::kEncode, state.image, store, report);
  return Outcome(!imported.problem_reported, true, report);
}

}  // namespace

Changed Session::ApplyText(std::string_view text, const std::string& text_name) {
  MessageText report;
  TextLines lines(text);
  return ApplyLines(*state_, lines, text_name, report);
}

Changed Session::ApplyTextFile(const std::string& path) {
  MessageText report;
  File file = File::Open(path, "rb");
  if (!file) {
    report.Say("Error: Couldn't open file %s for reading\n", path.c_str());
    return Outcome(false, false, report);
  }
  FileLines lines(file);
  return ApplyLines(*state_, lines, path, report);
}

namespace {

template <typename Extract>
Extracted ExtractFrom(const SaveImage& image, int number, Extract extract) {
  MessageText report;
  Extracted extracted;
  const std::optional<int> slot = SlotIndex(number, report);
  const std::optional<ConstByteSpan> bytes = slot ? extract(image, *slot, report) : std::nullopt;
  if (bytes) {
    extracted.ok = true;
    extracted.bytes.assign(bytes->begin(), bytes->end());
  }
  extracted.messages = report.Take();
  return extracted;
}

template <typename Replace>
Changed ReplaceFrom(SaveImage& image, int number, ReplacementInput& input, Replace replace) {
  MessageText report;
  const std::optional<int> slot = SlotIndex(number, report);
  const bool written = slot && replace(image, *slot, input, report);
  return Outcome(written, written, report);
}

}  // namespace

Extracted Session::ExtractEntry(int slot) const {
  return ExtractFrom(state_->image, slot, kv5::ExtractEntry);
}

Extracted Session::ExtractThumbnail(int slot) const {
  return ExtractFrom(state_->image, slot, kv5::ExtractThumbnail);
}

Changed Session::ReplaceEntry(int slot, const std::uint8_t* data, std::size_t size,
                              const std::string& input_name) {
  BytesInput input(ConstByteSpan(data, size), input_name);
  return ReplaceFrom(state_->image, slot, input, kv5::ReplaceEntry);
}

Changed Session::ReplaceThumbnail(int slot, const std::uint8_t* data, std::size_t size,
                                  const std::string& input_name) {
  BytesInput input(ConstByteSpan(data, size), input_name);
  return ReplaceFrom(state_->image, slot, input, kv5::ReplaceThumbnail);
}

Changed Session::ReplaceEntryFromFile(int slot, const std::string& path) {
  FileInput input(path);
  return ReplaceFrom(state_->image, slot, input, kv5::ReplaceEntry);
}

Changed Session::ReplaceThumbnailFromFile(int slot, const std::string& path) {
  FileInput input(path);
  return ReplaceFrom(state_->image, slot, input, kv5::ReplaceThumbnail);
}

Comparison Session::Compare(const Session& newer, bool aligned) const {
  Comparison comparison;
  comparison.differ =
      CompareSaves(state_->image, newer.state_->image, aligned, [&](std::string_view piece) {
        // A slot's section opens with its header; the closing lines are
        // comments.
        const int header_end = FindEntryHeader(piece.substr(0, piece.find('\n')));
        if (header_end < 0) {
          comparison.closing += piece;
          return;
        }
        const std::int32_t slot =
            ReadEntryNumber(piece.substr(static_cast<std::size_t>(header_end)));
        comparison.slots.push_back({slot + 1, std::string(piece)});
      });
  return comparison;
}

std::string Comparison::text() const {
  std::string whole;
  for (const SlotDifference& difference : slots) whole += difference.text;
  return whole + closing;
}

}  // namespace kv5

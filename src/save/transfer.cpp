#include "save/transfer.h"

#include <algorithm>

#include "save/slots.h"

namespace kv5 {
namespace {

ConstByteSpan ThumbnailOf(ConstByteSpan entry) {
  return entry.subspan(kThumbnailOffset, kThumbnailSize);
}
ByteSpan ThumbnailOf(ByteSpan entry) { return entry.subspan(kThumbnailOffset, kThumbnailSize); }

// Every slot operation first needs the slot's whole entry inside the save: a
// short save simply has no room for the later slots.
bool SlotFitsSave(const SaveImage& image, int slot, Reporter& report) {
  if (image.SlotInImage(slot)) return true;
  report.Say("Error: Save file isn't big enough to contain entry #%i.\n", slot + 1);
  return false;
}

// Only a slot that opens with the entry signature holds a character worth
// taking out; anything else is an empty slot.
bool SlotCanBeExtracted(const SaveImage& image, int slot, Reporter& report) {
  if (!SlotFitsSave(image, slot, report)) return false;
  if (image.SlotHoldsEntry(slot)) return true;
  report.Say("Error: Entry #%i is not valid in save file.\n", slot + 1);
  return false;
}

// Reads the whole input; a read that falls short of its measured length
// would put a torn character into the save, so it stops the replace.
std::optional<std::vector<std::uint8_t>> LoadInput(ReplacementInput& input, Reporter& report) {
  std::optional<std::vector<std::uint8_t>> bytes = input.Read(report);
  if (bytes) report.Say("%s loaded.\n", input.name().c_str());
  return bytes;
}

}  // namespace

std::optional<ConstByteSpan> ExtractEntry(const SaveImage& image, int slot, Reporter& report) {
  if (!SlotCanBeExtracted(image, slot, report)) return std::nullopt;
  return image.Entry(slot);
}

std::optional<ConstByteSpan> ExtractThumbnail(const SaveImage& image, int slot, Reporter& report) {
  if (!SlotCanBeExtracted(image, slot, report)) return std::nullopt;
  return ThumbnailOf(image.Entry(slot));
}

std::optional<std::int64_t> FileInput::Open(Reporter& report) {
  file_ = File::Open(path_, "rb");
  if (!file_) {
    report.Say("Error: Couldn't open file %s for reading\n", path_.c_str());
    return std::nullopt;
  }
  const std::optional<std::int64_t> length = file_.Length();
  if (!length) {
    report.Say("Error: Couldn't read %s.\n", path_.c_str());
    return std::nullopt;
  }
  length_ = *length;
  return length;
}

std::optional<std::vector<std::uint8_t>> FileInput::Read(Reporter& report) {
  std::optional<std::vector<std::uint8_t>> bytes = file_.ReadExactly(length_);
  if (!bytes) report.Say("Error: Couldn't read %s.\n", path_.c_str());
  return bytes;
}

bool ReplaceEntry(SaveImage& image, int slot, ReplacementInput& input, Reporter& report) {
  // An empty slot may be filled, so only the room for the entry is asked.
  if (!SlotFitsSave(image, slot, report)) return false;
  const std::optional<std::int64_t> length = input.Open(report);
  if (!length) return false;
  if (*length != kEntrySize) {
    report.Say("Error: %s is not the correct size.\n", input.name().c_str());
    return false;
  }
  const std::optional<std::vector<std::uint8_t>> entry = LoadInput(input, report);
  if (!entry) return false;
  std::copy(entry->begin(), entry->end(), image.Entry(slot).begin());
  return true;
}

bool ReplaceThumbnail(SaveImage& image, int slot, ReplacementInput& input, Reporter& report) {
  if (!SlotFitsSave(image, slot, report)) return false;
  const std::optional<std::int64_t> length = input.Open(report);
  if (!length) return false;
  if (*length > kThumbnailSize) {
    report.Say("Error: %s is too big!\n", input.name().c_str());
    return false;
  }
  const std::optional<std::vector<std::uint8_t>> picture = LoadInput(input, report);
  if (!picture) return false;
  // A smaller picture leaves the rest of the thumbnail zero, never a tail of
  // the old picture.
  const ByteSpan thumbnail = ThumbnailOf(image.Entry(slot));
  std::fill(std::copy(picture->begin(), picture->end(), thumbnail.begin()), thumbnail.end(), 0);
  return true;
}

}  // namespace kv5

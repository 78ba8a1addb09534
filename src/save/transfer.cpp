#include "save/transfer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "save/file.h"
#include "save/new_save.h"
#include "save/path.h"
#include "save/slots.h"

namespace kv5 {
namespace {

ConstByteSpan ThumbnailOf(ConstByteSpan entry) {
  return entry.subspan(kThumbnailOffset, kThumbnailSize);
}
ByteSpan ThumbnailOf(ByteSpan entry) { return entry.subspan(kThumbnailOffset, kThumbnailSize); }

// Every slot operation first needs the slot's whole entry inside the save: a
// short save simply has no room for the later slots.
bool SlotFitsSave(const SaveImage& image, int slot) {
  if (image.SlotInImage(slot)) return true;
  std::printf("Error: Save file isn't big enough to contain entry #%i.\n", slot + 1);
  return false;
}

// Only a slot that opens with the entry signature holds a character worth
// taking out; anything else is an empty slot.
bool SlotCanBeExtracted(const SaveImage& image, int slot) {
  if (!SlotFitsSave(image, slot)) return false;
  if (image.SlotHoldsEntry(slot)) return true;
  std::printf("Error: Entry #%i is not valid in save file.\n", slot + 1);
  return false;
}

// Writes `bytes` as `file_name`, inside `directory` when `into_directory` is
// set. Returns the name written, or nothing after the message; a file of
// that name from before stays as it was unless the new one is complete.
std::optional<std::string> WriteExtractedFile(ConstByteSpan bytes, const std::string& directory,
                                              const std::string& file_name, bool into_directory) {
  const std::optional<std::string> name =
      into_directory ? FitPath(kFormedPathCapacity, {directory, "/", file_name})
                     : FitPath(kFormedPathCapacity, {file_name});
  if (!name) return std::nullopt;
  if (into_directory) MakeDirectory(directory);

  if (!WriteWholeFile(*name, bytes, OutputFile::Durability::kBuffered)) return std::nullopt;
  return name;
}

// The file a replace puts into the save, opened and measured.
struct InputFile {
  File file;
  std::int64_t length = 0;
};

std::optional<InputFile> OpenInputFile(const std::string& path) {
  InputFile input{File::Open(path, "rb")};
  if (!input.file) {
    std::printf("Error: Couldn't open file %s for reading\n", path.c_str());
    return std::nullopt;
  }
  const std::optional<std::int64_t> length = input.file.Length();
  if (!length) {
    std::printf("Error: Couldn't read %s.\n", path.c_str());
    return std::nullopt;
  }
  input.length = *length;
  return input;
}

// Reads the whole input; a read that falls short of its measured length
// would put a torn character into the save, so it stops the replace.
std::optional<std::vector<std::uint8_t>> LoadInputFile(InputFile& input, const std::string& path) {
  std::optional<std::vector<std::uint8_t>> bytes = input.file.ReadExactly(input.length);
  if (!bytes) {
    std::printf("Error: Couldn't read %s.\n", path.c_str());
    return std::nullopt;
  }
  std::printf("%s loaded.\n", path.c_str());
  return bytes;
}

}  // namespace

bool ExtractEntry(const SaveImage& image, int slot, bool into_directory) {
  if (!SlotCanBeExtracted(image, slot)) return false;
  const int number = slot + 1;
  const std::optional<std::string> name = WriteExtractedFile(
      image.Entry(slot), "entries", "entry" + std::to_string(number) + ".bin", into_directory);
  if (name) std::printf("Saved entry #%i to %s.\n", number, name->c_str());
  return name.has_value();
}

bool ExtractThumbnail(const SaveImage& image, int slot, bool into_directory) {
  if (!SlotCanBeExtracted(image, slot)) return false;
  const std::optional<std::string> name =
      WriteExtractedFile(ThumbnailOf(image.Entry(slot)), "thumbnails",
                         "image" + std::to_string(slot + 1) + ".ptc", into_directory);
  if (name) std::printf("Saved thumbnail to %s.\n", name->c_str());
  return name.has_value();
}

std::optional<std::string> ReplaceEntry(SaveImage& image, int slot, const std::string& input_path,
                                        const std::string& save_path, bool into_directory) {
  // An empty slot may be filled, so only the room for the entry is asked.
  if (!SlotFitsSave(image, slot)) return std::nullopt;
  std::optional<InputFile> input = OpenInputFile(input_path);
  if (!input) return std::nullopt;
  if (input->length != kEntrySize) {
    std::printf("Error: %s is not the correct size.\n", input_path.c_str());
    return std::nullopt;
  }
  const std::optional<std::vector<std::uint8_t>> entry = LoadInputFile(*input, input_path);
  if (!entry) return std::nullopt;

  // Verbatim: whatever the file holds becomes the slot, signature included.
  std::copy(entry->begin(), entry->end(), image.Entry(slot).begin());
  std::optional<std::string> new_save = WriteSaveFile(image, save_path, into_directory);
  if (!new_save) return std::nullopt;
  std::printf("Replaced entry #%i with %s.\n", slot + 1, input_path.c_str());
  std::printf("Wrote new savedata file.\n");
  return new_save;
}

std::optional<std::string> ReplaceThumbnail(SaveImage& image, int slot,
                                            const std::string& input_path,
                                            const std::string& save_path, bool into_directory) {
  if (!SlotFitsSave(image, slot)) return std::nullopt;
  std::optional<InputFile> input = OpenInputFile(input_path);
  if (!input) return std::nullopt;
  if (input->length > kThumbnailSize) {
    std::printf("Error: %s is too big!\n", input_path.c_str());
    return std::nullopt;
  }
  const std::optional<std::vector<std::uint8_t>> picture = LoadInputFile(*input, input_path);
  if (!picture) return std::nullopt;

  // A smaller picture file leaves the rest of the thumbnail zero, never a
  // tail of the old picture.
  const ByteSpan thumbnail = ThumbnailOf(image.Entry(slot));
  std::fill(std::copy(picture->begin(), picture->end(), thumbnail.begin()), thumbnail.end(), 0);
  std::optional<std::string> new_save = WriteSaveFile(image, save_path, into_directory);
  if (!new_save) return std::nullopt;
  std::printf("Replaced entry #%i's thumbnail with %s.\n", slot + 1, input_path.c_str());
  std::printf("Wrote new savedata file.\n");
  return new_save;
}

}  // namespace kv5

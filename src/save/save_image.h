#pragma once

#include <cstdint>
#include <string>

#include "save/edition.h"
#include "save/file.h"
#include "save/large_pages.h"
#include "save/reporter.h"
#include "save/slots.h"
#include "save/span.h"

namespace kv5 {

// The whole save file as read. It is changed only in place and never resized,
// so a new save always has the length of the one that was loaded.
struct SaveImage {
  ImageBytes bytes;
  Edition edition = Edition::kUnknown;

  std::int64_t size() const { return static_cast<std::int64_t>(bytes.size()); }
  ConstByteSpan view() const { return ConstByteSpan(bytes.data(), bytes.size()); }

  bool SlotInImage(int slot) const { return kv5::SlotInImage(size(), slot); }
  bool SlotHoldsEntry(int slot) const { return kv5::SlotHoldsEntry(view(), slot); }
  // The slot lies inside the image and holds a character.
  bool HoldsCharacter(int slot) const { return SlotInImage(slot) && SlotHoldsEntry(slot); }

  // The slot's whole entry; the slot must lie inside the image.
  ByteSpan Entry(int slot) {
    return ByteSpan(bytes.data() + SlotOffset(slot), static_cast<std::size_t>(kEntrySize));
  }
  ConstByteSpan Entry(int slot) const {
    return ConstByteSpan(bytes.data() + SlotOffset(slot), static_cast<std::size_t>(kEntrySize));
  }
};

// Takes `bytes` as the save: reports "Save data loaded." and the edition
// line, and notes the edition in `image`.
void LoadSaveData(ImageBytes bytes, SaveImage& image, Reporter& report);

// Reads the open save file whole, then loads it as above. A file that is no
// regular file or cannot be read whole reports "Error: Couldn't read
// <path>." instead and leaves `image` as it was: returns false.
bool LoadSaveData(File& save_file, const std::string& save_path, SaveImage& image,
                  Reporter& report);

}  // namespace kv5

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kv5::builder {

// The title a synthetic save carries in its title window.
enum class Title { kEditionFive, kEditionFour, kUnknown };

// A save that holds every slot ends with slot 118.
constexpr std::size_t kFullSaveSize = 5338104;

// Makes synthetic saves. Every byte that no call sets is seeded noise, so a
// test can check that a run changed nothing it should not have: two builders
// with the same seed and the same calls give the same bytes. Slots are the
// user's numbers, 1 to 118; entry offsets count from the entry's first byte.
// Writes that reach past the save's length are cut at its end.
class SaveBuilder {
 public:
  explicit SaveBuilder(std::uint64_t seed = 1);

  SaveBuilder& WithTitle(Title title);
  SaveBuilder& WithLength(std::size_t length);

  // An entry signature at the start of the slot; the rest stays noise.
  SaveBuilder& WithEntry(int slot);
  // An entry signature followed by zero bytes to the end of the entry.
  SaveBuilder& WithBlankEntry(int slot);
  SaveBuilder& WithBytes(int slot, std::size_t entry_offset, std::vector<std::uint8_t> bytes);
  // The characters of `text` and a closing NUL.
  SaveBuilder& WithText(int slot, std::size_t entry_offset, std::string_view text);
  // A big-endian IEEE-754 single.
  SaveBuilder& WithFloat(int slot, std::size_t entry_offset, float value);
  SaveBuilder& WithFloatBits(int slot, std::size_t entry_offset, std::uint32_t bits);
  // An entry whose every field holds a value that the text form carries
  // exactly: names of 1 to 19 characters closed by a NUL, floats in steps of
  // 1/64, any bytes. The values come from the seed and the slot.
  SaveBuilder& WithExactValues(int slot);
  // An entry whose fields hold what a real save may hold but the text form
  // cannot show exactly: floats with more than six decimals, NaNs with
  // payloads, infinities, tiny and huge values; names closed by a byte other
  // than NUL, names of 19 characters and longer runs, names holding a
  // separator or ending in spaces, unprintable bytes where a name begins.
  SaveBuilder& WithAwkwardValues(int slot);
  // A thumbnail of seeded noise that differs in every byte from the picture
  // of any other slot, so that moving a picture always shows.
  SaveBuilder& WithThumbnail(int slot);

  std::vector<std::uint8_t> Build() const;

 private:
  struct Patch {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  SaveBuilder& WithPatch(std::size_t offset, std::vector<std::uint8_t> bytes);

  std::uint64_t seed_;
  Title title_ = Title::kEditionFive;
  std::size_t length_ = kFullSaveSize;
  std::vector<Patch> patches_;
};

// Absolute offset of a slot (1 to 118) in the save.
std::size_t SlotStart(int slot);

// Writes a built save to the file `name`; false, after a message on standard
// error, when it could not be written whole.
bool WriteSaveTo(const char* name, const std::vector<std::uint8_t>& save);

}  // namespace kv5::builder

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv5::fuzz {

// How the save round trip target turns its input into a save. Two header
// bytes, then the data:
//
//   byte 0 % 4  layout:
//               0  the data is the whole save file
//               1  the data is laid at the title window of a file of zeros
//               2  the data is laid over one entry of a builder save, from
//                  the entry's first byte (the signature included)
//               3  the data fills, in order, only the bytes of that entry
//                  that fields cover (see FieldCoverage): the compact form
//                  of layout 2, about 900 bytes for all of them
//   byte 1      layouts 2 and 3: bits 0-1 which entry (slot 1, 3, 50 or 51),
//               bit 2 the save is cut short inside slot 51; every layout:
//               bit 3 aligned text ("-t"), bit 4 the comparison with the
//               builder save takes the input's save as the old one
//
// Layouts 0 and 1 reach the loader and the edition test with short and odd
// files; 2 and 3 reach decoding, export and import with the data as an
// entry's fields. Layout 3 needs the built field catalogue.
enum class Layout : std::uint8_t { kWholeFile = 0, kTitleWindow = 1, kEntry = 2, kFields = 3 };

constexpr std::uint8_t kCutShort = 1 << 2;
constexpr std::uint8_t kAlignedText = 1 << 3;
constexpr std::uint8_t kInputIsOld = 1 << 4;
constexpr int kEntryChoices[4] = {1, 3, 50, 51};

struct SaveInput {
  Layout layout = Layout::kWholeFile;
  std::vector<std::uint8_t> save;
  bool aligned_text = false;
  bool input_is_old = false;
};

// Fills `input` from the fuzzer's data; `input.save` keeps its buffer from
// one call to the next.
void MakeSaveInput(const std::uint8_t* data, std::size_t size, SaveInput& input);

// The input that lays `data` out in `layout` with the `options` byte.
std::vector<std::uint8_t> EncodeSaveInput(Layout layout, std::uint8_t options,
                                          const std::vector<std::uint8_t>& data);

// The bytes of `entry` (a whole entry or its first part) that layout 3 sets.
std::vector<std::uint8_t> FieldBytes(const std::vector<std::uint8_t>& entry);

// The builder save under layouts 2 and 3: entries with exact values in
// slots 1 and 51, noise in slot 3, zeros in slot 50; it ends with slot 51.
const std::vector<std::uint8_t>& BaseSave();

}  // namespace kv5::fuzz

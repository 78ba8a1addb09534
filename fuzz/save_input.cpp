#include "save_input.h"

#include <algorithm>

#include "fuzz_support.h"
#include "save/edition.h"
#include "save/slots.h"
#include "save_builder/save_builder.h"

namespace kv5::fuzz {
namespace {

// The entry offsets that some field covers, in ascending order.
const std::vector<std::size_t>& FieldOffsets() {
  static const std::vector<std::size_t> offsets = [] {
    std::vector<std::size_t> covered;
    const std::vector<int> coverage = FieldCoverage();
    for (std::size_t k = 0; k < coverage.size(); ++k) {
      if (coverage[k] >= 0) covered.push_back(k);
    }
    return covered;
  }();
  return offsets;
}

}  // namespace

const std::vector<std::uint8_t>& BaseSave() {
  static const std::vector<std::uint8_t> save = builder::SaveBuilder(5)
                                                    .WithExactValues(1)
                                                    .WithEntry(3)
                                                    .WithBlankEntry(50)
                                                    .WithExactValues(51)
                                                    .WithLength(builder::SlotStart(51) + kEntrySize)
                                                    .Build();
  return save;
}

void MakeSaveInput(const std::uint8_t* data, std::size_t size, SaveInput& input) {
  input.layout = size >= 1 ? static_cast<Layout>(data[0] % 4) : Layout::kWholeFile;
  const std::uint8_t options = size >= 2 ? data[1] : 0;
  input.aligned_text = (options & kAlignedText) != 0;
  input.input_is_old = (options & kInputIsOld) != 0;
  const std::uint8_t* rest = data + std::min<std::size_t>(size, 2);
  const std::size_t rest_size = size - std::min<std::size_t>(size, 2);
  switch (input.layout) {
    case Layout::kWholeFile:
      input.save.assign(rest, rest + rest_size);
      return;
    case Layout::kTitleWindow:
      input.save.assign(static_cast<std::size_t>(kTitleWindowOffset), 0);
      input.save.insert(input.save.end(), rest, rest + rest_size);
      return;
    case Layout::kEntry:
    case Layout::kFields:
      break;
  }
  input.save.assign(BaseSave().begin(), BaseSave().end());
  if ((options & kCutShort) != 0) input.save.resize(builder::SlotStart(51) + 1000);
  const std::size_t start = builder::SlotStart(kEntryChoices[options & 3]);
  if (input.layout == Layout::kEntry) {
    const std::size_t count =
        std::min({rest_size, static_cast<std::size_t>(kEntrySize), input.save.size() - start});
    std::copy(rest, rest + count, input.save.begin() + static_cast<std::ptrdiff_t>(start));
    return;
  }
  const std::vector<std::size_t>& offsets = FieldOffsets();
  for (std::size_t i = 0; i < rest_size && i < offsets.size(); ++i) {
    if (start + offsets[i] < input.save.size()) input.save[start + offsets[i]] = rest[i];
  }
}

std::vector<std::uint8_t> EncodeSaveInput(Layout layout, std::uint8_t options,
                                          const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> input = {static_cast<std::uint8_t>(layout), options};
  input.insert(input.end(), data.begin(), data.end());
  return input;
}

std::vector<std::uint8_t> FieldBytes(const std::vector<std::uint8_t>& entry) {
  std::vector<std::uint8_t> bytes;
  for (const std::size_t offset : FieldOffsets()) {
    if (offset < entry.size()) bytes.push_back(entry[offset]);
  }
  return bytes;
}

}  // namespace kv5::fuzz

// Writes a full save for the benchmarks: all 118 slots hold a character whose
// every field carries a value that the text form holds exactly, so the text
// the read mode writes goes back into the save unchanged. The file is named
// on the command line ("KV5SaveData" when none is given); a second argument
// seeds the values. A third, "changed", gives every character another voice:
// the same save but for one field in every slot, to compare the first with.

#include <cstdlib>
#include <string_view>
#include <vector>

#include "save/slots.h"
#include "save_builder/save_builder.h"

int main(int argc, char* argv[]) {
  const char* name = argc > 1 ? argv[1] : "KV5SaveData";
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  const bool changed = argc > 3 && std::string_view(argv[3]) == "changed";
  constexpr std::size_t kVoice = 14;
  kv5::builder::SaveBuilder builder(seed);
  for (int slot = 1; slot <= kv5::kSlotCount; ++slot) builder.WithExactValues(slot);
  std::vector<std::uint8_t> save = builder.Build();
  for (int slot = 1; changed && slot <= kv5::kSlotCount; ++slot) {
    save[kv5::builder::SlotStart(slot) + kVoice] ^= 1;
  }
  return kv5::builder::WriteSaveTo(name, save) ? 0 : 1;
}

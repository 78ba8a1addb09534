// Writes a full save for the benchmarks: all 118 slots hold a character whose
// every field carries a value that the text form holds exactly, so the text
// the read mode writes goes back into the save unchanged. The file is named
// on the command line ("KV5SaveData" when none is given); a second argument
// seeds the values.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "save/slots.h"
#include "save_builder/save_builder.h"

int main(int argc, char* argv[]) {
  const char* name = argc > 1 ? argv[1] : "KV5SaveData";
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  kv5::builder::SaveBuilder builder(seed);
  for (int slot = 1; slot <= kv5::kSlotCount; ++slot) builder.WithExactValues(slot);
  const std::vector<std::uint8_t> save = builder.Build();
  std::FILE* file = std::fopen(name, "wb");
  bool written = file != nullptr && std::fwrite(save.data(), 1, save.size(), file) == save.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "make_full_save: couldn't write %s\n", name);
    return 1;
  }
  return 0;
}

// Writes a full save for the benchmarks: all 118 slots hold a character whose
// every field carries a value that the text form holds exactly, so the text
// the read mode writes goes back into the save unchanged. The file is named
// on the command line ("KV5SaveData" when none is given); a second argument
// seeds the values.

#include <cstdlib>

#include "save/slots.h"
#include "save_builder/save_builder.h"

int main(int argc, char* argv[]) {
  const char* name = argc > 1 ? argv[1] : "KV5SaveData";
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  kv5::builder::SaveBuilder builder(seed);
  for (int slot = 1; slot <= kv5::kSlotCount; ++slot) builder.WithExactValues(slot);
  return kv5::builder::WriteSaveTo(name, builder.Build()) ? 0 : 1;
}

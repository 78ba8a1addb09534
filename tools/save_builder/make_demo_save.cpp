// Writes the demo save, a synthetic edition 5 save with a few characters, to
// the file named on the command line ("KV5SaveData" when none is given).

#include <cstdio>
#include <vector>

#include "save_builder/demo_save.h"

int main(int argc, char* argv[]) {
  const char* name = argc > 1 ? argv[1] : "KV5SaveData";
  const std::vector<std::uint8_t> save = kv5::builder::BuildDemoSave();
  std::FILE* file = std::fopen(name, "wb");
  bool written = file != nullptr && std::fwrite(save.data(), 1, save.size(), file) == save.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "make_demo_save: couldn't write %s\n", name);
    return 1;
  }
  return 0;
}

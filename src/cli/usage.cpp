#include "cli/usage.h"

#include <cstdio>

namespace kv5 {

void PrintUsage() {
  std::printf("KV5 savegame tool. v0.2.7\n\n");
  std::printf("-r for reading and converting save to text.\n");
  std::printf("Ex. kv5save.exe -r KV5SaveData\n\n");
  std::printf("-w for updating save data with info in text file.\n");
  std::printf("Ex. kv5save.exe -w KV5SaveData KV5SaveData.txt\n\n");
  std::printf("-x extract a specific entry to a single binary file.\n");
  std::printf("Ex. kv5save.exe -x KV5SaveData 40\n\n");
  std::printf("-rp replace a specific entry with an entry binary file.\n");
  std::printf("Ex. kv5save.exe -rp KV5SaveData 40 entry50.bin\n\n");
  std::printf("-d compare two saves and print what differs, as text that -w can apply.\n");
  std::printf("Ex. kv5save.exe -d KV5SaveData.bak KV5SaveData\n\n");
  std::printf("-xt extract a specific thumbnail to a single binary file.\n");
  std::printf("-rt replace a specific thumbnail with a thumbnail binary file.\n");
  std::printf("-p to write any new files into specific directories.\n\n");
  std::printf("-t to create symmetry in generated text files.\n\n");
  std::printf("Remember to keep backups of files before modifying them.\n");
  std::printf("Also remember to resign the save file before using it.\n");
}

}  // namespace kv5

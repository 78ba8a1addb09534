#include "cli/usage.h"

namespace kv5 {

void PrintUsage(Reporter& out) {
  out.Write("KV5 savegame tool. v0.2.7\n\n");
  out.Write("-r for reading and converting save to text.\n");
  out.Write("Ex. kv5save.exe -r KV5SaveData\n\n");
  out.Write("-w for updating save data with info in text file.\n");
  out.Write("Ex. kv5save.exe -w KV5SaveData KV5SaveData.txt\n\n");
  out.Write("-x extract a specific entry to a single binary file.\n");
  out.Write("Ex. kv5save.exe -x KV5SaveData 40\n\n");
  out.Write("-rp replace a specific entry with an entry binary file.\n");
  out.Write("Ex. kv5save.exe -rp KV5SaveData 40 entry50.bin\n\n");
  out.Write("-d compare two saves and print what differs, as text that -w can apply.\n");
  out.Write("Ex. kv5save.exe -d KV5SaveData.bak KV5SaveData\n\n");
  out.Write("-xt extract a specific thumbnail to a single binary file.\n");
  out.Write("-rt replace a specific thumbnail with a thumbnail binary file.\n");
  out.Write("-p to write any new files into specific directories.\n\n");
  out.Write("-t to create symmetry in generated text files.\n\n");
  out.Write("Remember to keep backups of files before modifying them.\n");
  out.Write("Also remember to resign the save file before using it.\n");
}

}  // namespace kv5

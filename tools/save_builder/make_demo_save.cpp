// Writes the demo save, a synthetic edition 5 save with a few characters, to
// the file named on the command line ("KV5SaveData" when none is given).

#include "save_builder/demo_save.h"
#include "save_builder/save_builder.h"

int main(int argc, char* argv[]) {
  const char* name = argc > 1 ? argv[1] : "KV5SaveData";
  return kv5::builder::WriteSaveTo(name, kv5::builder::BuildDemoSave()) ? 0 : 1;
}

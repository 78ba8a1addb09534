// The functions the page calls in the core, besides the command line's own
// main. Each answers with text that stays valid until the next call; the
// page runs every call in a fresh instance of the core, as a new process.

#include <string>

#include "save_builder/demo_save.h"
#include "save_builder/save_builder.h"
#include "web/form.h"

namespace {

const char* Answer(std::string text) {
  static std::string answer;
  answer = std::move(text);
  return answer.c_str();
}

}  // namespace

extern "C" {

const char* kv5_list_characters(const char* save_path) {
  return Answer(kv5::web::ListCharacters(save_path));
}

const char* kv5_character_fields(const char* save_path, int number) {
  return Answer(kv5::web::CharacterFields(save_path, number));
}

const char* kv5_check_field_line(int number, const char* name, const char* value) {
  return Answer(kv5::web::CheckFieldLine(number, name, value));
}

const char* kv5_compare(const char* old_path, const char* new_path) {
  return Answer(kv5::web::CompareSaveFiles(old_path, new_path));
}

const char* kv5_edit_text(int number, const char* changes) {
  return Answer(kv5::web::EditText(number, changes));
}

// Writes the demo save, the one the command line's demo reads, as `path`.
int kv5_write_demo_save(const char* path) {
  return kv5::builder::WriteSaveTo(path, kv5::builder::BuildDemoSave()) ? 1 : 0;
}

}  // extern "C"

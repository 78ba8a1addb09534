#pragma once

#include <string>
#include <string_view>

namespace kv5::web {

// What the page's form shows and sends, made by the core: the page itself
// knows nothing of the save or of the text. Slots are numbered 1 to 118 as
// the player sees them. Each function answers in JSON.

// Loads the save at `save_path` and decodes it as the read mode does,
// printing the same messages, and lists the slots that hold a character:
// {"characters": [{"slot", "name", "replay"}]}, the name null where the
// export leaves it out. {"characters": null} for a file that is not an
// edition 5 save.
std::string ListCharacters(const std::string& save_path);

// The fields of the character in slot `number`, in the export's order and
// in groups: {"slot", "editable", "groups": [{"title", "fields": [{"name",
// "value", "note", "shown", "choices"}]}], "choices": [[{"value", "note"}]]}.
// "value" is written as the export writes it, "note" is the export's note
// without its parentheses, "shown" whether the export has the line, and
// "choices" the index of the list of codes the field can take by name, or
// -1. {"groups": null} when the slot holds no character.
std::string CharacterFields(const std::string& save_path, int number);

// What the import makes of the line that gives field `name` the value
// `value` in the section of slot `number`: {"problem", "applied", "stored",
// "note"}. "problem" is what it prints beyond what it prints for an empty
// section; when the field took a value ("applied"), "stored" is that value
// as the export writes it, "note" its note.
std::string CheckFieldLine(int number, std::string_view name, std::string_view value);

// The comparison of the old save at `old_path` with the new one at
// `new_path`, as the compare mode prints it after the load lines, in its
// pieces: {"sections": [{"slot", "text"}], "closing": "<the closing lines>"}.
// {"sections": null} when either is not an edition 5 save.
std::string CompareSaveFiles(const std::string& old_path, const std::string& new_path);

// The text that gives the character in slot `number` the values of
// `changes`: a field's name and its value on lines of their own, in turn.
std::string EditText(int number, std::string_view changes);

}  // namespace kv5::web

// What a front end shows of a character: the list of the save's characters,
// a character's fields in the export's groups, and what the import makes of
// one typed value.

#include <map>
#include <utility>

#include "catalogue/catalogue.h"
#include "catalogue/field_table.h"
#include "save/slots.h"
#include "session/session.h"
#include "session/session_state.h"
#include "text/annotation.h"
#include "text/line_reader.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "values/codec.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

// The export's note of a value, " (...)", without the space and parentheses.
std::string Note(int field, const ValueRecord& value) {
  std::string note;
  AppendAnnotation(note, field, value);
  if (note.size() < 3) return "";
  return note.substr(2, note.size() - 3);
}

// Whether the export writes the field's line for the entry.
bool Shown(const EntryValues& entry, int field) {
  return entry.present[static_cast<std::size_t>(field)] &&
         ExportWrites(field, entry.values[static_cast<std::size_t>(field)]);
}

// The lists of codes the fields can take by name: one for each table and
// field length, which many equipment fields share.
class ChoiceLists {
 public:
  explicit ChoiceLists(std::vector<std::vector<Choice>>& lists) : lists_(lists) {}

  int IndexFor(int field) {
    const std::pair<CodeTable, std::int32_t> key(CodeTableOf(field), Field(field).length);
    const auto known = by_table_.find(key);
    if (known != by_table_.end()) return known->second;
    const int index = Add(field);
    by_table_.emplace(key, index);
    return index;
  }

 private:
  int Add(int field) {
    const std::vector<ValueRecord> values = AnnotatedValues(field);
    if (values.empty()) return -1;
    std::vector<Choice>& list = lists_.emplace_back();
    for (const ValueRecord& value : values) {
      list.push_back({std::string(ExportedValue(field, value).text()), Note(field, value)});
    }
    return static_cast<int>(lists_.size()) - 1;
  }

  std::map<std::pair<CodeTable, std::int32_t>, int> by_table_;
  std::vector<std::vector<Choice>>& lists_;
};

FieldValue FieldOf(const EntryValues& entry, int field, ChoiceLists& choices) {
  const ValueRecord& value = entry.values[static_cast<std::size_t>(field)];
  const bool present = entry.present[static_cast<std::size_t>(field)];
  FieldValue shown;
  shown.id = field;
  shown.name = std::string(Field(field).name.view());
  if (present) {
    shown.value = std::string(ExportedValue(field, value).text());
    shown.note = Note(field, value);
  }
  shown.shown = Shown(entry, field);
  shown.choices = choices.IndexFor(field);
  return shown;
}

}  // namespace

std::vector<Character> Session::Characters() const {
  const SaveImage& image = state_->image;
  const FieldDefinition& name_field = Field(kNameField);
  std::vector<Character> characters;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!image.HoldsCharacter(slot)) continue;
    Character character;
    character.slot = slot + 1;
    character.replay = slot >= kCustomSlotCount;
    // The name alone is decoded, as the decode pass decodes it.
    const auto position = static_cast<std::size_t>(SlotOffset(slot) + name_field.offset);
    ValueRecord name;
    character.named = DecodeField(name_field.kind, name_field.length,
                                  image.view().subspan(position, SIZE_MAX), name) &&
                      ExportWrites(kNameField, name);
    if (character.named) character.name = std::string(name.text.view());
    characters.push_back(std::move(character));
  }
  return characters;
}

std::optional<CharacterFields> Session::Fields(int slot) const {
  const SaveImage& image = state_->image;
  if (slot < 1 || slot > kSlotCount || !image.HoldsCharacter(slot - 1)) return std::nullopt;
  // One entry's values: 32 KB, on the heap.
  const auto entry = std::make_unique<EntryValues>();
  DecodeEntry(slot - 1, image, *entry);

  CharacterFields fields;
  fields.slot = slot;
  fields.editable = slot <= kCustomSlotCount;
  ChoiceLists choices(fields.choices);
  for (std::size_t group = 0; group < kFieldGroupCount; ++group) {
    const int end =
        group + 1 < kFieldGroupCount ? kFieldGroups[group + 1].first_field : kFieldCount;
    FieldGroup& shown = fields.groups.emplace_back();
    shown.title = kFieldGroups[group].title;
    for (int field = kFieldGroups[group].first_field; field < end; ++field) {
      if (Field(field).registered()) shown.fields.push_back(FieldOf(*entry, field, choices));
    }
  }
  return fields;
}

FieldCheck Session::CheckFieldLine(int slot, std::string_view name, std::string_view value) {
  // What the import reports for the section alone is not the line's doing.
  const std::string header = SectionHeader(slot);
  const auto messages_of = [&](const std::string& text) {
    MessageText report;
    TextLines lines(text);
    ReadTextFile(lines, text, state_->FreshStore(), report);
    return report.Take();
  };
  const std::string quiet = messages_of(header);
  FieldCheck check;
  check.problem = messages_of(header + TypedFieldLine(name, value));
  if (check.problem.size() >= quiet.size() &&
      check.problem.compare(check.problem.size() - quiet.size(), quiet.size(), quiet) == 0) {
    check.problem.resize(check.problem.size() - quiet.size());
  }
  const int field = FindField(name);
  if (field < 0 || slot < 1 || slot > kStoreEntryCount) return check;
  const EntryValues& entry =
      state_->store_memory->store().entries[static_cast<std::size_t>(slot - 1)];
  if (!entry.present[static_cast<std::size_t>(field)]) return check;
  const ValueRecord& stored = entry.values[static_cast<std::size_t>(field)];
  check.applied = true;
  check.stored = std::string(ExportedValue(field, stored).text());
  check.note = Note(field, stored);
  return check;
}

std::string Session::EditText(int slot,
                              const std::vector<std::pair<std::string, std::string>>& changes) {
  std::string text = SectionHeader(slot);
  for (const auto& [name, value] : changes) text += TypedFieldLine(name, value);
  return text;
}

}  // namespace kv5

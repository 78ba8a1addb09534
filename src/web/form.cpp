#include "web/form.h"

#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "catalogue/catalogue.h"
#include "compare/compare_saves.h"
#include "save/file.h"
#include "save/save_image.h"
#include "save/slots.h"
#include "text/annotation.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "text/tokens.h"
#include "values/entry_pass.h"
#include "values/value_store.h"
#include "web/json.h"

namespace kv5::web {
namespace {

// The fields of an entry as the export lists them, by id, in runs that
// belong together; each run goes on to the next one's first id.
struct FieldGroup {
  int first_field;
  const char* title;
};

constexpr FieldGroup kFieldGroups[] = {
    {0, "Names and model type"},
    {6, "Voice"},
    {10, "Character"},
    {15, "Creation mode equipment"},
    {28, "Heights and body"},
    {48, "Colours"},
    {70, "Effects"},
    {72, "Equipment slots"},
    {111, "Equipment slots, second copy"},
    {125, "Armor break slots"},
    {139, "Armor break slots, second copy"},
    {192, "Model slots of the later copies"},
    {198, "Camera and thumbnail"},
};

constexpr std::string_view kNameField = "Name";

// Loads the save at `save_path` into `image`, with the load messages; true
// for an edition 5 save.
bool LoadEditionFive(const std::string& save_path, SaveImage& image) {
  File file = File::Open(save_path, "rb");
  return file && LoadSaveData(file, save_path, image) && image.edition == Edition::kFive;
}

// Every call starts from the catalogue as a run of the tool builds it.
void BuildFreshCatalogue() {
  ClearTables();
  BuildFieldCatalogue();
}

// Loads and decodes the save as the read mode does, with its messages.
bool LoadAndDecode(const std::string& save_path) {
  if (!LoadEditionFive(save_path, TheSaveImage())) return false;
  BuildFreshCatalogue();
  ProcessSaveData(PassDirection::kDecode, TheSaveImage());
  return true;
}

// The slot index of a slot number whose slot holds a decoded character.
std::optional<int> DecodedSlot(int number) {
  const int slot = number - 1;
  if (slot < 0 || slot >= kSlotCount) return std::nullopt;
  if (!TheValueStore().entries[static_cast<std::size_t>(slot)].touched) return std::nullopt;
  return slot;
}

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

// The lists of codes the fields can take, as the page shows them: one for
// each table and field length, which many equipment fields share.
class ChoiceLists {
 public:
  int IndexFor(int field) {
    const std::pair<CodeTable, std::int32_t> key(CodeTableOf(field), Field(field).length);
    const auto known = by_table_.find(key);
    if (known != by_table_.end()) return known->second;
    const int index = Add(field);
    by_table_.emplace(key, index);
    return index;
  }

  void Write(JsonWriter& json) const {
    json.BeginArray();
    for (const std::string& list : lists_) json.Raw(list);
    json.EndArray();
  }

 private:
  int Add(int field) {
    const std::vector<ValueRecord> values = AnnotatedValues(field);
    if (values.empty()) return -1;
    JsonWriter list;
    list.BeginArray();
    for (const ValueRecord& value : values) {
      list.BeginObject()
          .Key("value")
          .String(ExportedValue(field, value).text())
          .Key("note")
          .String(Note(field, value))
          .EndObject();
    }
    list.EndArray();
    lists_.push_back(list.text());
    return static_cast<int>(lists_.size()) - 1;
  }

  std::map<std::pair<CodeTable, std::int32_t>, int> by_table_;
  std::vector<std::string> lists_;
};

void WriteField(JsonWriter& json, const EntryValues& entry, int field, ChoiceLists& choices) {
  const ValueRecord& value = entry.values[static_cast<std::size_t>(field)];
  const bool present = entry.present[static_cast<std::size_t>(field)];
  json.BeginObject()
      .Key("name")
      .String(Field(field).name.view())
      .Key("value")
      .String(present ? ExportedValue(field, value).text() : "")
      .Key("note")
      .String(present ? Note(field, value) : "")
      .Key("shown")
      .Bool(Shown(entry, field))
      .Key("choices")
      .Number(choices.IndexFor(field))
      .EndObject();
}

// Everything the code prints while `work` runs, instead of printing it.
template <typename Work>
std::string PrintedBy(Work work) {
  constexpr const char* kPrinted = "/tmp/printed";
  std::fflush(stdout);
  if (std::freopen(kPrinted, "wb", stdout) == nullptr) return "";
  work();
  std::fflush(stdout);
  std::freopen("/dev/stdout", "wb", stdout);
  File file = File::Open(kPrinted, "rb");
  const std::optional<std::int64_t> length = file ? file.Length() : std::nullopt;
  const std::optional<std::vector<std::uint8_t>> bytes =
      length ? file.ReadExactly(*length) : std::nullopt;
  std::remove(kPrinted);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "";
}

// What the import prints for `text`.
std::string ImportMessages(const std::string& text) {
  constexpr const char* kText = "/tmp/check.txt";
  WriteWholeFile(kText,
                 ConstByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                 OutputFile::Durability::kBuffered);
  return PrintedBy([&] {
    File file = File::Open(kText, "rb");
    ReadTextFile(file, kText);
  });
}

}  // namespace

std::string ListCharacters(const std::string& save_path) {
  JsonWriter json;
  json.BeginObject().Key("characters");
  if (!LoadAndDecode(save_path)) return json.Null().EndObject().text();
  const int name_field = FindField(kNameField);
  json.BeginArray();
  for (int number = 1; number <= kSlotCount; ++number) {
    const std::optional<int> slot = DecodedSlot(number);
    if (!slot) continue;
    const EntryValues& entry = TheValueStore().entries[static_cast<std::size_t>(*slot)];
    json.BeginObject().Key("slot").Number(number).Key("name");
    if (Shown(entry, name_field)) {
      json.String(entry.values[static_cast<std::size_t>(name_field)].text.view());
    } else {
      json.Null();
    }
    json.Key("replay").Bool(*slot >= kCustomSlotCount).EndObject();
  }
  return json.EndArray().EndObject().text();
}

std::string CharacterFields(const std::string& save_path, int number) {
  JsonWriter json;
  json.BeginObject().Key("slot").Number(number).Key("groups");
  const std::optional<int> slot = LoadAndDecode(save_path) ? DecodedSlot(number) : std::nullopt;
  if (!slot) return json.Null().EndObject().text();

  const EntryValues& entry = TheValueStore().entries[static_cast<std::size_t>(*slot)];
  ChoiceLists choices;
  json.BeginArray();
  constexpr std::size_t kGroupCount = sizeof kFieldGroups / sizeof kFieldGroups[0];
  for (std::size_t group = 0; group < kGroupCount; ++group) {
    const int end = group + 1 < kGroupCount ? kFieldGroups[group + 1].first_field : kFieldCount;
    json.BeginObject().Key("title").String(kFieldGroups[group].title).Key("fields").BeginArray();
    for (int field = kFieldGroups[group].first_field; field < end; ++field) {
      if (Field(field).registered()) WriteField(json, entry, field, choices);
    }
    json.EndArray().EndObject();
  }
  json.EndArray().Key("editable").Bool(*slot < kCustomSlotCount).Key("choices");
  choices.Write(json);
  return json.EndObject().text();
}

std::string CheckFieldLine(int number, std::string_view name, std::string_view value) {
  BuildFreshCatalogue();
  const std::string header = SectionHeader(number - 1);
  const std::string quiet = ImportMessages(header);
  std::string problem = ImportMessages(header + TypedFieldLine(name, value));
  if (problem.size() >= quiet.size() &&
      problem.compare(problem.size() - quiet.size(), quiet.size(), quiet) == 0) {
    problem.resize(problem.size() - quiet.size());
  }
  JsonWriter json;
  json.BeginObject().Key("problem").String(problem).Key("applied");
  const int field = FindField(name);
  const int slot = number - 1;
  if (field < 0 || slot < 0 || slot >= kStoreEntryCount) return json.Bool(false).EndObject().text();
  const EntryValues& entry = TheValueStore().entries[static_cast<std::size_t>(slot)];
  const ValueRecord& stored = entry.values[static_cast<std::size_t>(field)];
  if (!entry.present[static_cast<std::size_t>(field)]) return json.Bool(false).EndObject().text();
  return json.Bool(true)
      .Key("stored")
      .String(ExportedValue(field, stored).text())
      .Key("note")
      .String(Note(field, stored))
      .EndObject()
      .text();
}

std::string CompareSaveFiles(const std::string& old_path, const std::string& new_path) {
  JsonWriter json;
  json.BeginObject().Key("sections");
  SaveImage old_save;
  SaveImage new_save;
  if (!LoadEditionFive(old_path, old_save) || !LoadEditionFive(new_path, new_save)) {
    return json.Null().EndObject().text();
  }
  BuildFreshCatalogue();
  std::string closing;
  json.BeginArray();
  CompareSaves(old_save, new_save, false, [&](std::string_view piece) {
    const int header_end = FindEntryHeader(piece.substr(0, piece.find('\n')));
    if (header_end < 0) {
      closing += piece;
      return;
    }
    const std::int32_t slot = ReadEntryNumber(piece.substr(static_cast<std::size_t>(header_end)));
    json.BeginObject().Key("slot").Number(slot + 1).Key("text").String(piece).EndObject();
  });
  return json.EndArray().Key("closing").String(closing).EndObject().text();
}

std::string EditText(int number, std::string_view changes) {
  std::string text = SectionHeader(number - 1);
  while (!changes.empty()) {
    const std::size_t name_end = changes.find('\n');
    const std::string_view name = changes.substr(0, name_end);
    changes = name_end == std::string_view::npos ? "" : changes.substr(name_end + 1);
    const std::size_t value_end = changes.find('\n');
    text += TypedFieldLine(name, changes.substr(0, value_end));
    changes = value_end == std::string_view::npos ? "" : changes.substr(value_end + 1);
  }
  return text;
}

}  // namespace kv5::web

// The core as JavaScript sees it, through embind: one instance of the core
// holds any number of sessions, each a save in memory, and runs the command
// line itself in the same instance.
//
// Bytes (saves, entries, thumbnails) cross as Uint8Array, copied at the
// crossing: a view into the core's memory would go stale as soon as the
// memory grows. Text crosses as strings, which embind encodes as UTF-8.
// Every session made here is JavaScript's to release, with delete().

#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/entry_number.h"
#include "cli/run.h"
#include "save/path.h"
#include "save/reporter.h"
#include "save/slots.h"
#include "session/session.h"

// The unpacking of Packed items into JavaScript's objects; see the
// functions that pack them for the order of texts and numbers.
EM_JS(emscripten::EM_VAL, kv5_unpack_characters,
      (const char* texts, std::size_t size, const std::int32_t* numbers, std::size_t count), {
  var words = UTF8Decoder.decode(HEAPU8.subarray(texts, texts + size)).split(String.fromCharCode(0));
  var n = HEAP32.subarray(numbers >> 2, (numbers >> 2) + count);
  var characters = [];
  for (var i = 0; i < count; i += 3) {
    characters.push({slot: n[i], name: n[i + 1] ? words[i / 3] : null, replay: n[i + 2] !== 0});
  }
  return Emval.toHandle(characters);
});

EM_JS(emscripten::EM_VAL, kv5_unpack_fields,
      (const char* texts, std::size_t size, const std::int32_t* numbers, std::size_t count), {
  var words = UTF8Decoder.decode(HEAPU8.subarray(texts, texts + size)).split(String.fromCharCode(0));
  var n = HEAP32.subarray(numbers >> 2, (numbers >> 2) + count);
  var w = 0;
  var at = 4;
  var answer = {slot: n[0], editable: n[1] !== 0, groups: [], choices: []};
  for (var g = 0; g < n[2]; ++g) answer.groups.push({title: words[w++], fields: [], count: n[at++]});
  answer.groups.forEach(function(group) {
    for (var f = 0; f < group.count; ++f, at += 2) {
      group.fields.push({name: words[w++], value: words[w++], note: words[w++], shown: n[at] !== 0,
                         choices: n[at + 1]});
    }
    delete group.count;
  });
  for (var l = 0; l < n[3]; ++l) {
    var choices = [];
    for (var c = n[at++]; c > 0; --c) choices.push({value: words[w++], note: words[w++]});
    answer.choices.push(choices);
  }
  return Emval.toHandle(answer);
});

namespace kv5::web {
namespace {

using emscripten::val;

// A Uint8Array's bytes, copied into the core's memory in one piece.
Bytes BytesOf(const val& array) {
  Bytes bytes(array["length"].as<std::size_t>());
  val(emscripten::typed_memory_view(bytes.size(), bytes.data())).call<void>("set", array);
  return bytes;
}

// A copy of `size` bytes at `data` as a Uint8Array of JavaScript's own.
val ArrayOf(const std::uint8_t* data, std::size_t size) {
  return val(emscripten::typed_memory_view(size, data)).call<val>("slice");
}

// What a list of many small items becomes for JavaScript. Every property
// set through embind is a call across, with a conversion each, and a
// character has some two hundred fields and as many codes to choose from;
// so the items are packed here and made into objects on JavaScript's side in
// one call: their texts in one piece of memory, each closed by a NUL (no
// text of the save's holds one), and their numbers in one array.
struct Packed {
  std::string texts;
  std::vector<std::int32_t> numbers;

  void Text(std::string_view text) {
    texts += text;
    texts += '\0';
  }
  void Number(std::int64_t number) { numbers.push_back(static_cast<std::int32_t>(number)); }

  // The objects `unpack` makes of the items.
  template <typename Unpack>
  val Unpacked(Unpack unpack) const {
    return val::take_ownership(unpack(texts.data(), texts.size(), numbers.data(), numbers.size()));
  }
};

template <typename Items, typename Convert>
val ArrayOf(const Items& items, Convert convert) {
  val array = val::array();
  for (const auto& item : items) array.call<void>("push", convert(item));
  return array;
}

val ChangedObject(const Changed& changed) {
  val answer = val::object();
  answer.set("ok", changed.ok);
  answer.set("written", changed.written);
  answer.set("messages", changed.messages);
  return answer;
}

val ExtractedObject(const Extracted& extracted) {
  val answer = val::object();
  answer.set("ok", extracted.ok);
  answer.set("bytes", extracted.ok ? ArrayOf(extracted.bytes.data(), extracted.bytes.size())
                                   : val::null());
  answer.set("messages", extracted.messages);
  return answer;
}

// Whether `size` bytes at `one` and at `two` are the same: eight bytes at a
// time, as WebAssembly's memcmp compares one at a time.
bool SameBytes(const std::uint8_t* one, const std::uint8_t* two, std::size_t size) {
  std::size_t at = 0;
  for (; at + 8 <= size; at += 8) {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::memcpy(&a, one + at, 8);
    std::memcpy(&b, two + at, 8);
    if (a != b) return false;
  }
  return std::equal(one + at, one + size, two + at);
}

// A session, as JavaScript holds it.
class SaveSession {
 public:
  explicit SaveSession(std::unique_ptr<Session> session) : session_(std::move(session)) {}

  std::string name() const { return session_->name(); }
  val bytes() const { return ArrayOf(session_->data(), session_->size()); }
  // Whether the two saves hold the same bytes: a save keeps its length, so
  // this tells whether any change was made.
  bool sameBytes(const SaveSession& other) const {
    return session_->size() == other.session_->size() &&
           SameBytes(session_->data(), other.session_->data(), session_->size());
  }

  // A copy of slot `slot`'s whole entry as it lies in the save, whatever it
  // holds, an empty slot's too; null for a slot outside the save. With
  // replace, this is how a front end puts an entry back as it was.
  val entry(int slot) const {
    if (slot < 1 || slot > kSlotCount || !SlotInImage(session_->size(), slot - 1)) return val::null();
    return ArrayOf(session_->data() + SlotOffset(slot - 1), static_cast<std::size_t>(kEntrySize));
  }

  // The slots whose entry bytes differ between the two saves, in order.
  val changedSlots(const SaveSession& other) const {
    val slots = val::array();
    const std::size_t size = std::min(session_->size(), other.session_->size());
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (!SlotInImage(static_cast<std::int64_t>(size), slot)) {
        if (SlotInImage(static_cast<std::int64_t>(session_->size()), slot) !=
            SlotInImage(static_cast<std::int64_t>(other.session_->size()), slot)) {
          slots.call<void>("push", slot + 1);
        }
        continue;
      }
      const auto at = static_cast<std::size_t>(SlotOffset(slot));
      if (!SameBytes(session_->data() + at, other.session_->data() + at, kEntrySize)) {
        slots.call<void>("push", slot + 1);
      }
    }
    return slots;
  }

  // A session of its own on the same bytes, under the same name.
  SaveSession copy() const {
    return SaveSession(Session::Open(session_->data(), session_->size(), session_->name()).session);
  }

  // [{slot, name, replay}], the name null where the export leaves it out.
  // Packed: for each its slot, whether named and whether a replay's, and
  // its name's text, empty when not named.
  val characters() const {
    Packed packed;
    for (const Character& character : session_->Characters()) {
      packed.Number(character.slot);
      packed.Number(character.named);
      packed.Number(character.replay);
      packed.Text(character.name);
    }
    return packed.Unpacked(kv5_unpack_characters);
  }

  // {slot, editable, groups: [{title, fields: [{name, value, note, shown,
  // choices}]}], choices: [[{value, note}]]}, or null for an empty slot.
  // Packed: numbers slot, editable, the count of groups and of choice lists,
  // then each group's count of fields, each field's shown and choices, each
  // list's count of choices; texts each group's title, each field's name,
  // value and note, each choice's value and note.
  val fields(int slot) const {
    const std::optional<CharacterFields> fields = session_->Fields(slot);
    if (!fields) return val::null();
    Packed packed;
    packed.Number(fields->slot);
    packed.Number(fields->editable);
    packed.Number(static_cast<std::int64_t>(fields->groups.size()));
    packed.Number(static_cast<std::int64_t>(fields->choices.size()));
    for (const FieldGroup& group : fields->groups) {
      packed.Number(static_cast<std::int64_t>(group.fields.size()));
      packed.Text(group.title);
    }
    for (const FieldGroup& group : fields->groups) {
      for (const FieldValue& field : group.fields) {
        packed.Number(field.shown);
        packed.Number(field.choices);
        packed.Text(field.name);
        packed.Text(field.value);
        packed.Text(field.note);
      }
    }
    for (const std::vector<Choice>& choices : fields->choices) {
      packed.Number(static_cast<std::int64_t>(choices.size()));
      for (const Choice& choice : choices) {
        packed.Text(choice.value);
        packed.Text(choice.note);
      }
    }
    return packed.Unpacked(kv5_unpack_fields);
  }

  // {messages, text}: the read mode's text.
  val text(bool aligned) {
    const Exported exported = session_->ExportText(aligned);
    val answer = val::object();
    answer.set("messages", exported.messages);
    answer.set("text", exported.text);
    return answer;
  }

  // {problem, applied, stored, note}
  val check(int slot, const std::string& field, const std::string& value) {
    const FieldCheck check = session_->CheckFieldLine(slot, field, value);
    val answer = val::object();
    answer.set("problem", check.problem);
    answer.set("applied", check.applied);
    answer.set("stored", check.stored);
    answer.set("note", check.note);
    return answer;
  }

  val apply(const std::string& text, const std::string& text_name) {
    return ChangedObject(session_->ApplyText(text, text_name));
  }

  val extract(int slot) const { return ExtractedObject(session_->ExtractEntry(slot)); }
  val extractThumbnail(int slot) const { return ExtractedObject(session_->ExtractThumbnail(slot)); }

  val replace(int slot, const val& bytes, const std::string& input_name) {
    const Bytes entry = BytesOf(bytes);
    return ChangedObject(session_->ReplaceEntry(slot, entry.data(), entry.size(), input_name));
  }

  val replaceThumbnail(int slot, const val& bytes, const std::string& input_name) {
    const Bytes thumbnail = BytesOf(bytes);
    return ChangedObject(
        session_->ReplaceThumbnail(slot, thumbnail.data(), thumbnail.size(), input_name));
  }

  // {differ, sections: [{slot, text}], closing}: what differs from this
  // save to `newer`.
  val compare(const SaveSession& newer, bool aligned) const {
    const Comparison comparison = session_->Compare(*newer.session_, aligned);
    val answer = val::object();
    answer.set("differ", comparison.differ);
    answer.set("sections", ArrayOf(comparison.slots, [](const SlotDifference& difference) {
      val section = val::object();
      section.set("slot", difference.slot);
      section.set("text", difference.text);
      return section;
    }));
    answer.set("closing", comparison.closing);
    return answer;
  }

 private:
  std::unique_ptr<Session> session_;
};

// {status: "opened", "unreadable" or "not edition five", messages, session}:
// the session null unless opened.
val OpenSave(const val& bytes, const std::string& name) {
  Opened opened = Session::Open(BytesOf(bytes), name);
  val answer = val::object();
  answer.set("status", opened.status == Opened::Status::kOpened          ? "opened"
                       : opened.status == Opened::Status::kNotEditionFive ? "not edition five"
                                                                          : "unreadable");
  answer.set("messages", opened.messages);
  answer.set("session",
             opened.session ? val(SaveSession(std::move(opened.session))) : val::null());
  return answer;
}

// The text that gives slot `slot` the values of `changes`, [[field, value]].
std::string EditText(int slot, const val& changes) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const auto count = changes["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) {
    const val change = changes[i];
    pairs.emplace_back(change[0].as<std::string>(), change[1].as<std::string>());
  }
  return Session::EditText(slot, pairs);
}

// One run of the command line in the current directory: {status, stdout}.
// Running out of memory is reported as the program reports it.
val RunTool(const val& arguments) {
  std::vector<std::string> words{"kv5save"};
  const auto count = arguments["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) words.push_back(arguments[i].as<std::string>());
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  argv.push_back(nullptr);
  MessageText out;
  int status = 1;
  try {
    status = Run(static_cast<int>(words.size()), argv.data(), out);
  } catch (const std::bad_alloc&) {
    out.Write("Error: Out of memory.\n");
  }
  val answer = val::object();
  answer.set("status", status);
  answer.set("stdout", out.Take());
  return answer;
}

// The lines the command line prints once it has written the files of its
// modes, for a front end that does the modes on a session and keeps the
// files in memory, so that its messages read as the command's would.

// {file, line}: the file "-x" or "-xt" writes for `slot`, and what it says.
val SavedLine(int slot, bool thumbnail) {
  const std::string file = (thumbnail ? "image" : "entry") + std::to_string(slot) +
                           (thumbnail ? ".ptc" : ".bin");
  MessageText line;
  if (thumbnail) {
    line.Say("Saved thumbnail to %s.\n", file.c_str());
  } else {
    line.Say("Saved entry #%i to %s.\n", slot, file.c_str());
  }
  val answer = val::object();
  answer.set("file", file);
  answer.set("line", line.Take());
  return answer;
}

// What "-rp" or "-rt" says once the new save is written.
std::string ReplacedLines(int slot, const std::string& input_name, bool thumbnail) {
  MessageText lines;
  if (thumbnail) {
    lines.Say("Replaced entry #%i's thumbnail with %s.\n", slot, input_name.c_str());
  } else {
    lines.Say("Replaced entry #%i with %s.\n", slot, input_name.c_str());
  }
  lines.Say("Wrote new savedata file.\n");
  return lines.Take();
}

// What "-w" says once the new save is written.
std::string WroteSaveLine() { return "Wrote new save file.\n"; }

// {file, line}: the text file "-r" writes for the save `save_name`, and what
// it says once written; the file null, and the line the error, for a name
// too long to form it.
val TextFileLine(const std::string& save_name) {
  MessageText line;
  const std::optional<std::string> file = TextFileNameFor(save_name, false, line);
  if (file) line.Say("Wrote %s.\n", file->c_str());
  val answer = val::object();
  answer.set("file", file ? val(*file) : val::null());
  answer.set("line", line.Take());
  return answer;
}

// {slot, messages}: an entry number as the command line reads its argument;
// the slot null, and the messages its error, for one that names no slot.
val SlotArgument(const std::string& text) {
  const EntryNumber number = ReadEntryNumberArgument(text);
  MessageText error;
  if (!number.plain) {
    error.Say("Error: %s is not a valid entry number.\n", text.c_str());
  } else if (!number.valid()) {
    error.Say("Error: %i is not a valid entry number.\n", number.as_read);
  }
  val answer = val::object();
  answer.set("slot", number.valid() ? val(number.as_read) : val::null());
  answer.set("messages", error.Take());
  return answer;
}

}  // namespace
}  // namespace kv5::web

EMSCRIPTEN_BINDINGS(kv5_session) {
  using kv5::web::SaveSession;
  emscripten::class_<SaveSession>("Session")
      .function("name", &SaveSession::name)
      .function("bytes", &SaveSession::bytes)
      .function("sameBytes", &SaveSession::sameBytes)
      .function("copy", &SaveSession::copy)
      .function("entry", &SaveSession::entry)
      .function("changedSlots", &SaveSession::changedSlots)
      .function("characters", &SaveSession::characters)
      .function("fields", &SaveSession::fields)
      .function("text", &SaveSession::text)
      .function("check", &SaveSession::check)
      .function("apply", &SaveSession::apply)
      .function("extract", &SaveSession::extract)
      .function("extractThumbnail", &SaveSession::extractThumbnail)
      .function("replace", &SaveSession::replace)
      .function("replaceThumbnail", &SaveSession::replaceThumbnail)
      .function("compare", &SaveSession::compare);
  emscripten::function("openSave", &kv5::web::OpenSave);
  emscripten::function("editText", &kv5::web::EditText);
  emscripten::function("runTool", &kv5::web::RunTool);
  emscripten::function("savedLine", &kv5::web::SavedLine);
  emscripten::function("replacedLines", &kv5::web::ReplacedLines);
  emscripten::function("wroteSaveLine", &kv5::web::WroteSaveLine);
  emscripten::function("textFileLine", &kv5::web::TextFileLine);
  emscripten::function("slotArgument", &kv5::web::SlotArgument);
}

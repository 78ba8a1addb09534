#pragma once

// kv5save as a library: a session holds one save in memory and does on it
// what the command line does on files. Include this header alone; link the
// library (CMake: kv5save::kv5save).
//
// Every operation answers with its outcome and the messages it gave, the
// same lines, byte for byte, that the command line prints for the same work.
// Where the program names a file, the name given to the session stands. The
// program alone prints the lines that follow its own file work: "Wrote ...",
// "Saved ...", "Replaced ...", "Wrote new save file." and the like, and the
// errors of the files it writes and of paths too long to hold.
//
// Slots are numbered 1 to 118, as the player counts them: 1 to 50 hold the
// player's own characters, 51 to 118 characters that came with replays.
// A session works in memory and touches no file, except where an operation
// says it reads one. Sessions share nothing but tables that never change,
// so any number of them may be used at once, each from one thread at a time.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv5 {

using Bytes = std::vector<std::uint8_t>;
// Receives a long text in pieces, in order.
using TextPieces = std::function<void(std::string_view)>;

class Session;

// What opening a save gave: a session, or nothing and why.
struct Opened {
  enum class Status {
    kOpened,          // an edition 5 save: `session` holds it
    kUnreadable,      // the file could not be opened or read whole
    kNotEditionFive,  // read, but not a save of the edition the tool edits
  };
  Status status = Status::kUnreadable;
  std::unique_ptr<Session> session;
  std::string messages;  // "Save data loaded." and the edition line, or the error
};

// A character the save holds.
struct Character {
  int slot = 0;
  bool replay = false;  // in a replay slot (51 to 118), never written back
  bool named = false;   // the export writes its "Name" line
  std::string name;     // as the export writes it, when `named`
};

// One code a field can take by name: its value as the export writes it and
// the note the export gives it.
struct Choice {
  std::string value;
  std::string note;
};

// One field of a character, as the export writes its line.
struct FieldValue {
  int id = 0;
  std::string name;    // the key of its line in the text
  std::string value;   // after the "="; empty when the entry holds none
  std::string note;    // the export's note, without its parentheses
  bool shown = false;  // the export writes the line
  int choices = -1;    // index into CharacterFields::choices, or -1
};

struct FieldGroup {
  std::string title;
  std::vector<FieldValue> fields;
};

// A character's fields, grouped as the export orders them.
struct CharacterFields {
  int slot = 0;
  bool editable = false;  // a custom slot: the write mode changes it
  std::vector<FieldGroup> groups;
  std::vector<std::vector<Choice>> choices;  // shared by fields of one kind
};

// What the export gave: the text the read mode writes into its text file.
struct Exported {
  std::string messages;  // "Processing save data." and the count of entries
  std::string text;
};

// What the import makes of one field line in a character's section.
struct FieldCheck {
  std::string problem;   // what it reports; empty when it takes the line quietly
  bool applied = false;  // the field took a value
  std::string stored;    // that value as the export writes it
  std::string note;
};

// The outcome of an operation that may change the save.
struct Changed {
  // The operation did its whole work and reported no problem.
  bool ok = false;
  // It wrote into the save (bytes may be written with what they held): the
  // program then writes the new save. A text read only in part, or a
  // refused replace, writes nothing.
  bool written = false;
  std::string messages;
};

// An entry or thumbnail taken out of a slot.
struct Extracted {
  bool ok = false;
  Bytes bytes;
  std::string messages;
};

// One slot's part of a comparison.
struct SlotDifference {
  int slot = 0;
  std::string text;  // its "[ENTRY<n>]" section, lines ending in "\n"
};

struct Comparison {
  bool differ = false;
  std::vector<SlotDifference> slots;
  std::string closing;  // the counts after the sections
  // The whole text the compare mode prints after loading the saves.
  std::string text() const;
};

class Session {
 public:
  // A save held in memory; `name` stands where the program names the save.
  static Opened Open(const std::uint8_t* data, std::size_t size, std::string name);
  static Opened Open(const Bytes& bytes, std::string name);
  // The save file at `path`, read whole. Neither waits on a FIFO nor reads
  // a device.
  static Opened OpenFile(const std::string& path);

  ~Session();
  Session(Session&&) noexcept;
  Session& operator=(Session&&) noexcept;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const std::string& name() const;
  // The save as it now is; its length never changes.
  const std::uint8_t* data() const;
  std::size_t size() const;
  Bytes bytes() const;

  // The slots that hold a character, in slot order.
  std::vector<Character> Characters() const;
  // The character in `slot`; nothing when the slot holds none.
  std::optional<CharacterFields> Fields(int slot) const;

  // The read mode: the text of every character; `aligned` puts every "="
  // in one column (the option -t).
  Exported ExportText(bool aligned = false);
  // The same, the text given to `write` in pieces instead of kept.
  Exported ExportText(bool aligned, const TextPieces& write);

  // What the write mode would make of the line that gives field `name` the
  // value `value` in the section of `slot`. Changes nothing.
  FieldCheck CheckFieldLine(int slot, std::string_view name, std::string_view value);
  // The lines that give the character in `slot` the values of `changes`
  // (field name, value as typed), under its section header, as the
  // export writes such lines: a text for ApplyText.
  static std::string EditText(int slot,
                              const std::vector<std::pair<std::string, std::string>>& changes);

  // The write mode: puts the values of `text` into the save. Only lines that
  // say something other than the export of the save say are written.
  // `text_name` stands where the program names the text file.
  Changed ApplyText(std::string_view text, const std::string& text_name);
  // The same with the text file at `path`; a text that cannot be read to its
  // end changes nothing.
  Changed ApplyTextFile(const std::string& path);

  // The extract modes: a copy of the slot's whole entry, or its thumbnail.
  Extracted ExtractEntry(int slot) const;
  Extracted ExtractThumbnail(int slot) const;

  // The replace modes: `bytes` become the slot's entry, or its thumbnail;
  // `input_name` stands where the program names the input file.
  Changed ReplaceEntry(int slot, const std::uint8_t* data, std::size_t size,
                       const std::string& input_name);
  Changed ReplaceThumbnail(int slot, const std::uint8_t* data, std::size_t size,
                           const std::string& input_name);
  // The same with the file at `path`, read only once it is known to fit.
  Changed ReplaceEntryFromFile(int slot, const std::string& path);
  Changed ReplaceThumbnailFromFile(int slot, const std::string& path);

  // The compare mode: what differs from this save, the old one, to `newer`,
  // as text that the write mode can apply.
  Comparison Compare(const Session& newer, bool aligned = false) const;

  // What a session holds; the library's own.
  struct State;
  explicit Session(std::unique_ptr<State> state);

 private:
  std::unique_ptr<State> state_;
};

}  // namespace kv5

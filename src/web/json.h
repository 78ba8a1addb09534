#pragma once

#include <string>
#include <string_view>

namespace kv5::web {

// Writes JSON for the page, one value after another: the writer puts the
// commas between the members of an object or array. Text is copied as it
// is but for the characters JSON must escape; the core's texts are ASCII,
// and file names come from the page as UTF-8.
class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(long long number);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A value that is JSON already.
  JsonWriter& Raw(std::string_view json);

  const std::string& text() const { return out_; }

 private:
  void BeforeValue();
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);

  std::string out_;
  bool first_ = true;  // no comma before the next value
};

}  // namespace kv5::web

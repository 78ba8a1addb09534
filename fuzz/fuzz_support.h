#pragma once

// What the fuzz targets share.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "session/session.h"
#include "values/codec.h"

namespace kv5::fuzz {

// A broken property: says what broke on stderr and aborts, which libFuzzer
// records as a crash with the input that caused it.
[[noreturn]] inline __attribute__((format(printf, 1, 2))) void Fail(const char* format, ...) {
  std::fprintf(stderr, "kv5save fuzz finding: ");
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
  std::fprintf(stderr, "\n");
  std::abort();
}

// Whether the session holds exactly these bytes.
inline bool SameBytes(const Session& save, const std::uint8_t* data, std::size_t size) {
  return save.size() == size && std::memcmp(save.data(), data, size) == 0;
}

// For every offset inside an entry, a field of the catalogue that lies on it
// (a text on all its 20 bytes, the lowest id where fields overlap), or -1.
inline const std::vector<int>& FieldCoverage() {
  static const std::vector<int> coverage = [] {
    std::vector<int> by_offset(static_cast<std::size_t>(kEntrySize), -1);
    for (int id = kFieldCount - 1; id >= 0; --id) {
      const FieldDefinition& field = Field(id);
      if (!field.registered()) continue;
      const std::size_t start = static_cast<std::size_t>(field.offset);
      const std::size_t end = start + FieldSize(field.kind, field.length);
      for (std::size_t k = start; k < end && k < by_offset.size(); ++k) by_offset[k] = id;
    }
    return by_offset;
  }();
  return coverage;
}

}  // namespace kv5::fuzz

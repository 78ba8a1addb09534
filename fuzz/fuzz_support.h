#pragma once

// What the fuzz targets share.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "catalogue/catalogue.h"
#include "save/slots.h"
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

// For every offset inside an entry, a registered field that lies on it (a
// text on all its 20 bytes, the lowest id where fields overlap), or -1.
inline std::vector<int> field_coverage;

// Once, before the first input: sends the tool's reports on standard output
// to /dev/null (libFuzzer and the findings use stderr) and builds the field
// catalogue with four spare fields, and from it `field_coverage`. The codec
// and the text form handle 16- and 32-bit integers, the text-only integer and
// the float triple, but no field of an entry has those kinds; the spares take
// ids the catalogue leaves free and entry bytes that no field covers, so that
// code runs too.
inline void Start() {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) Fail("cannot silence standard output");
  ClearTables();
  BuildFieldCatalogue();
  RegisterField(153, "Spare Int16", 0x370, FieldKind::kInt16, 0, nullptr, false);
  RegisterField(154, "Spare Int32", 0x374, FieldKind::kInt32, 0, nullptr, false);
  RegisterField(155, "Spare Integer", 0x378, FieldKind::kInteger, 0, nullptr, false);
  RegisterField(156, "Spare Triple", 0x37C, FieldKind::kFloatTriple, 0, nullptr, false);
  field_coverage.assign(static_cast<std::size_t>(kEntrySize), -1);
  for (int id = kFieldCount - 1; id >= 0; --id) {
    const FieldDefinition& field = Field(id);
    if (!field.registered()) continue;
    const std::size_t start = static_cast<std::size_t>(field.offset);
    const std::size_t end = start + FieldSize(field.kind, field.length);
    for (std::size_t k = start; k < end && k < field_coverage.size(); ++k) field_coverage[k] = id;
  }
}

}  // namespace kv5::fuzz

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/field.h"
#include "save/span.h"

namespace kv5::fuzz {

// The tool reports on standard output; a fuzz run sends all of that to
// /dev/null once at start. libFuzzer and the targets' findings use stderr.
void SilenceStdout();

// A file in a scratch directory of this process, removed when it exits.
std::string ScratchPath(const std::string& name);
void WriteScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> ReadScratchFile(const std::string& path);

// A broken property: says what broke on stderr and aborts, which libFuzzer
// records as a crash with the input that caused it.
[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Clears the tables and builds the catalogue, plus fields of the kinds that
// the codec and the text form handle but no field of an entry has: 16- and
// 32-bit integers, the text-only integer and the text-only float triple.
// They take ids the catalogue leaves free and bytes between the colours and
// the slot array that no field covers, so the fuzzers reach that code too.
void BuildFuzzCatalogue();

// For every offset inside an entry, a registered field that lies on it (a
// text on all its 20 bytes), or -1. Needs the built catalogue.
std::vector<int> FieldCoverage();

// Where a byte of the save lies: the custom slot (index 0 to 49) whose entry
// holds it and its offset in that entry, or slot -1 outside every custom slot.
struct EntryPlace {
  int slot = -1;
  std::size_t offset = 0;
};
EntryPlace CustomEntryPlace(std::size_t position);

// The positions where the two images differ; they have the same size.
std::vector<std::size_t> ChangedPositions(ConstByteSpan before, ConstByteSpan after);

}  // namespace kv5::fuzz

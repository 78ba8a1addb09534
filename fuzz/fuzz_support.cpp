#include "fuzz_support.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "values/codec.h"
#include "values/value_store.h"

namespace kv5::fuzz {
namespace {

namespace fs = std::filesystem;

// Made on first use and removed at exit. The path is never destroyed, so it
// is still there when the exit handler runs.
const fs::path& ScratchDirectory() {
  static const fs::path* const directory = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kv5save-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      Fail("cannot make a scratch directory %s", pattern.c_str());
    }
    return new fs::path(pattern);
  }();
  static const bool removed_at_exit = std::atexit([] {
                                        std::error_code ignored;
                                        fs::remove_all(ScratchDirectory(), ignored);
                                      }) == 0;
  static_cast<void>(removed_at_exit);
  return *directory;
}

}  // namespace

void SilenceStdout() {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) Fail("cannot silence standard output");
}

std::string ScratchPath(const std::string& name) { return (ScratchDirectory() / name).string(); }

void WriteScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!file.flush()) Fail("cannot write %s", path.c_str());
}

std::vector<std::uint8_t> ReadScratchFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void Fail(const char* format, ...) {
  std::fprintf(stderr, "kv5save fuzz finding: ");
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
  std::fprintf(stderr, "\n");
  std::abort();
}

void BuildFuzzCatalogue() {
  ClearTables();
  BuildFieldCatalogue();
  RegisterField(153, "Spare Int16", 0x370, FieldKind::kInt16, 0, nullptr, false);
  RegisterField(154, "Spare Int32", 0x374, FieldKind::kInt32, 0, nullptr, false);
  RegisterField(155, "Spare Integer", 0x378, FieldKind::kInteger, 0, nullptr, false);
  RegisterField(156, "Spare Triple", 0x37C, FieldKind::kFloatTriple, 0, nullptr, false);
}

std::vector<int> FieldCoverage() {
  std::vector<int> coverage(static_cast<std::size_t>(kEntrySize), -1);
  for (int id = 0; id < kFieldCount; ++id) {
    const FieldDefinition& field = Field(id);
    if (!field.registered()) continue;
    const std::size_t start = static_cast<std::size_t>(field.offset);
    for (std::size_t k = start;
         k < start + FieldSize(field.kind, field.length) && k < coverage.size(); ++k) {
      if (coverage[k] < 0) coverage[k] = id;
    }
  }
  return coverage;
}

EntryPlace CustomEntryPlace(std::size_t position) {
  for (int slot = 0; slot < kCustomSlotCount; ++slot) {
    const std::size_t start = static_cast<std::size_t>(SlotOffset(slot));
    if (position >= start && position < start + static_cast<std::size_t>(kEntrySize)) {
      return {slot, position - start};
    }
  }
  return {};
}

std::vector<std::size_t> ChangedPositions(ConstByteSpan before, ConstByteSpan after) {
  constexpr std::size_t kBlock = 4096;
  std::vector<std::size_t> changed;
  for (std::size_t start = 0; start < before.size(); start += kBlock) {
    const std::size_t count = std::min(kBlock, before.size() - start);
    if (std::memcmp(before.data() + start, after.data() + start, count) == 0) continue;
    for (std::size_t position = start; position < start + count; ++position) {
      if (before[position] != after[position]) changed.push_back(position);
    }
  }
  return changed;
}

}  // namespace kv5::fuzz

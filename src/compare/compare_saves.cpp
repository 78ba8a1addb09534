#include "compare/compare_saves.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "text/text_export.h"
#include "values/codec.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

// Bytes are compared a block at a time: memcmp passes over alike blocks far
// faster than a loop over single bytes, and most of two saves is alike.
constexpr std::size_t kBlock = 64;
// The entry offsets that fields may lie on: everything below the thumbnail.
constexpr std::size_t kFieldArea = kThumbnailOffset;

std::size_t CountDifferingBytes(ConstByteSpan a, ConstByteSpan b) {
  std::size_t count = 0;
  for (std::size_t start = 0; start < a.size(); start += kBlock) {
    const std::size_t size = std::min(kBlock, a.size() - start);
    if (std::memcmp(a.data() + start, b.data() + start, size) == 0) continue;
    for (std::size_t k = start; k < start + size; ++k) count += a[k] != b[k] ? 1 : 0;
  }
  return count;
}

// Whether `text` holds "[entry" in any letter case. A comment that did could
// be read as a section header when the output is written into a save.
bool HoldsHeaderText(std::string_view text) {
  constexpr std::string_view kHeader = "[entry";
  const auto same = [](char c, char header) {
    return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == header;
  };
  return std::search(text.begin(), text.end(), kHeader.begin(), kHeader.end(), same) != text.end();
}

ConstByteSpan FieldBytes(ConstByteSpan entry, const FieldDefinition& field) {
  return entry.subspan(static_cast<std::size_t>(field.offset), FieldSize(field.kind, field.length));
}

// Decodes the field from the entry; true when the export writes a line for it.
bool DecodeShown(int id, ConstByteSpan entry, ValueRecord& value) {
  const FieldDefinition& field = Field(id);
  return DecodeField(field.kind, field.length,
                     entry.subspan(static_cast<std::size_t>(field.offset), entry.size()), value) &&
         ExportWrites(id, value);
}

// Where a registered field lies in an entry.
struct FieldSpan {
  std::size_t start;
  std::size_t size;
  int id;
};

// The fields that lie on bytes of an entry, by where they start: a run of
// differing bytes finds the fields it touches without a walk over them all.
std::vector<FieldSpan> FieldsByStart() {
  std::vector<FieldSpan> spans;
  for (int id = 0; id < kFieldCount; ++id) {
    const FieldDefinition& field = Field(id);
    const std::size_t size = FieldSize(field.kind, field.length);
    if (field.registered() && size > 0) {
      spans.push_back({static_cast<std::size_t>(field.offset), size, id});
    }
  }
  std::stable_sort(spans.begin(), spans.end(),
                   [](const FieldSpan& a, const FieldSpan& b) { return a.start < b.start; });
  return spans;
}

class Comparison {
 public:
  Comparison(const SaveImage& first, const SaveImage& second, bool aligned_text,
             const TextSink& write)
      : first_(first),
        second_(second),
        aligned_text_(aligned_text),
        write_(write),
        common_size_(std::min(first.bytes.size(), second.bytes.size())),
        fields_(FieldsByStart()) {
    for (const FieldSpan& span : fields_) longest_field_ = std::max(longest_field_, span.size);
  }

  bool Run() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const bool first_holds = first_.HoldsCharacter(slot);
      const bool second_holds = second_.HoldsCharacter(slot);
      if (!first_holds && !second_holds) continue;
      const auto start = static_cast<std::size_t>(SlotOffset(slot));
      CountOutsideUpTo(start);
      cursor_ = start + static_cast<std::size_t>(kEntrySize);
      if (first_holds && second_holds) {
        CompareEntries(slot, first_.Entry(slot), second_.Entry(slot));
      } else {
        AppendHeader(slot);
        out_ += first_holds ? "# Only the first save holds a character here.\n"
                            : "# Only the second save holds a character here.\n";
      }
      // A section at a time, so that a front end can show each apart.
      if (!out_.empty()) {
        write_(out_);
        out_.clear();
      }
    }
    CountOutsideUpTo(common_size_);
    char line[128];
    if (outside_ > 0) {
      std::snprintf(line, sizeof line, "# %zu bytes differ outside the characters.\n", outside_);
      out_ += line;
    }
    const bool sizes_differ = first_.size() != second_.size();
    if (sizes_differ) {
      std::snprintf(line, sizeof line,
                    "# The first save has %" PRId64 " bytes, the second %" PRId64 ".\n",
                    first_.size(), second_.size());
      out_ += line;
    }
    std::snprintf(line, sizeof line, "# %d entries differ.\n", sections_);
    out_ += line;
    write_(out_);
    return sections_ > 0 || outside_ > 0 || sizes_differ;
  }

 private:
  // Counts the differing bytes from the cursor up to `end`, as far as both
  // saves reach: the header, the gaps between slots and the empty slots.
  void CountOutsideUpTo(std::size_t end) {
    const std::size_t stop = std::min(end, common_size_);
    if (cursor_ >= stop) return;
    outside_ += CountDifferingBytes(first_.view().subspan(cursor_, stop - cursor_),
                                    second_.view().subspan(cursor_, stop - cursor_));
  }

  void AppendHeader(int slot) {
    ++sections_;
    out_ += "[ENTRY" + std::to_string(slot + 1) + "]\n";
  }

  void CompareEntries(int slot, ConstByteSpan old_entry, ConstByteSpan new_entry) {
    if (std::memcmp(old_entry.data(), new_entry.data(), old_entry.size()) == 0) return;
    AppendHeader(slot);
    std::copy(old_entry.begin(), old_entry.begin() + kFieldArea, written_.begin());
    AppendFieldLines(old_entry, new_entry);
    AppendByteComments(old_entry, new_entry);
    const std::size_t thumbnail =
        CountDifferingBytes(old_entry.subspan(kThumbnailOffset, kThumbnailSize),
                            new_entry.subspan(kThumbnailOffset, kThumbnailSize));
    if (thumbnail > 0) {
      char line[64];
      std::snprintf(line, sizeof line, "# The thumbnail differs (%zu bytes).\n", thumbnail);
      out_ += line;
    }
  }

  // Two lines for every field the export shows differently and shows for
  // the new entry: the old value in a comment, then the new field line. Each
  // new value is also written into `written_`, as the write mode would.
  void AppendFieldLines(ConstByteSpan old_entry, ConstByteSpan new_entry) {
    for (int id = 0; id < kFieldCount; ++id) {
      const FieldDefinition& field = Field(id);
      if (!field.registered()) continue;
      // Only fields whose bytes differ are decoded: alike bytes are alike values.
      const ConstByteSpan old_bytes = FieldBytes(old_entry, field);
      const ConstByteSpan new_bytes = FieldBytes(new_entry, field);
      if (std::equal(old_bytes.begin(), old_bytes.end(), new_bytes.begin(), new_bytes.end())) {
        continue;
      }
      ValueRecord new_value;
      if (!DecodeShown(id, new_entry, new_value)) continue;
      ValueRecord old_value;
      const bool old_shown = DecodeShown(id, old_entry, old_value);
      if (old_shown && ExportedValue(id, old_value).text() == ExportedValue(id, new_value).text()) {
        continue;
      }
      std::string was;
      if (old_shown) AppendValueAndNote(was, id, old_value);
      out_ += "# was ";
      out_ += old_shown && !HoldsHeaderText(was) ? was : "not shown";
      out_ += '\n';
      AppendFieldLine(out_, id, new_value, aligned_text_, "\n");
      EncodeField(field.kind, field.length, new_value,
                  ByteSpan(written_.data(), written_.size())
                      .subspan(static_cast<std::size_t>(field.offset), written_.size()));
    }
  }

  // One comment for every run of bytes that differ and that the field lines
  // do not set to the new entry's bytes.
  void AppendByteComments(ConstByteSpan old_entry, ConstByteSpan new_entry) {
    const auto left = [&](std::size_t k) {
      return old_entry[k] != new_entry[k] && written_[k] != new_entry[k];
    };
    std::size_t k = 0;
    while (k < kFieldArea) {
      if (k % kBlock == 0 && k + kBlock <= kFieldArea &&
          std::memcmp(old_entry.data() + k, new_entry.data() + k, kBlock) == 0) {
        k += kBlock;
      } else if (!left(k)) {
        ++k;
      } else {
        const std::size_t first = k;
        while (k < kFieldArea && left(k)) ++k;
        AppendBytesComment(first, k - 1);
      }
    }
  }

  void AppendBytesComment(std::size_t first, std::size_t last) {
    char range[64];
    std::snprintf(range, sizeof range, "# Bytes 0x%04zX-0x%04zX differ (", first, last);
    out_ += range;
    // Only a field that starts less than the longest field's size before
    // the run can reach into it.
    const std::size_t reach = first + 1 > longest_field_ ? first + 1 - longest_field_ : 0;
    auto span = std::lower_bound(
        fields_.begin(), fields_.end(), reach,
        [](const FieldSpan& field, std::size_t start) { return field.start < start; });
    touched_.clear();
    for (; span != fields_.end() && span->start <= last; ++span) {
      if (span->start + span->size > first) touched_.push_back(span->id);
    }
    std::sort(touched_.begin(), touched_.end());
    for (std::size_t i = 0; i < touched_.size(); ++i) {
      out_ += i == 0 ? "in " : ", ";
      out_ += Field(touched_[i]).name.view();
    }
    out_ += touched_.empty() ? "no known field).\n" : ").\n";
  }

  const SaveImage& first_;
  const SaveImage& second_;
  bool aligned_text_;
  const TextSink& write_;
  std::size_t common_size_;
  std::size_t cursor_ = 0;  // bytes below it are compared
  std::size_t outside_ = 0;
  int sections_ = 0;
  std::string out_;
  std::vector<FieldSpan> fields_;
  std::size_t longest_field_ = 0;
  std::vector<int> touched_;  // the fields a run of bytes lies on
  // The old entry's field area as writing the field lines into it leaves it.
  std::array<std::uint8_t, kFieldArea> written_{};
};

}  // namespace

bool CompareSaves(const SaveImage& first, const SaveImage& second, bool aligned_text,
                  const TextSink& write) {
  return Comparison(first, second, aligned_text, write).Run();
}

}  // namespace kv5

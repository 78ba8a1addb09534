#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "save/file.h"
#include "save/reporter.h"
#include "save/save_image.h"

namespace kv5 {

// Moving raw bytes between one slot of the save and a file of its own: a
// whole entry (29832 bytes, "entry<n>.bin") or just its thumbnail picture
// (the entry's last 16368 bytes, "image<n>.ptc"). No byte is decoded or
// adjusted on the way, so a character copied out of one save and into
// another arrives exactly as it was. `slot` is the slot index, 0 to 117;
// the entry number in messages is one more. Writing the files is the
// caller's: these work on the image alone.

// The slot's whole entry, or its thumbnail; only a slot that holds an entry
// can be extracted. Nothing after the message otherwise.
std::optional<ConstByteSpan> ExtractEntry(const SaveImage& image, int slot, Reporter& report);
std::optional<ConstByteSpan> ExtractThumbnail(const SaveImage& image, int slot, Reporter& report);

// The bytes a replace puts into the save: first opened and measured, then
// read only once their length is known to fit.
class ReplacementInput {
 public:
  virtual ~ReplacementInput() = default;
  virtual const std::string& name() const = 0;
  // The input's length; nothing after reporting why it cannot be had.
  virtual std::optional<std::int64_t> Open(Reporter& report) = 0;
  // Every byte; nothing after reporting "Error: Couldn't read <name>.".
  virtual std::optional<std::vector<std::uint8_t>> Read(Reporter& report) = 0;
};

// Bytes held in memory, under the name that stands for them in messages.
class BytesInput final : public ReplacementInput {
 public:
  BytesInput(ConstByteSpan bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}
  const std::string& name() const override { return name_; }
  std::optional<std::int64_t> Open(Reporter&) override {
    return static_cast<std::int64_t>(bytes_.size());
  }
  std::optional<std::vector<std::uint8_t>> Read(Reporter&) override {
    return std::vector<std::uint8_t>(bytes_.begin(), bytes_.end());
  }

 private:
  ConstByteSpan bytes_;
  std::string name_;
};

// The file at a path: "Error: Couldn't open file <path> for reading" when
// it cannot be opened.
class FileInput final : public ReplacementInput {
 public:
  explicit FileInput(std::string path) : path_(std::move(path)) {}
  const std::string& name() const override { return path_; }
  std::optional<std::int64_t> Open(Reporter& report) override;
  std::optional<std::vector<std::uint8_t>> Read(Reporter& report) override;

 private:
  std::string path_;
  File file_;
  std::int64_t length_ = 0;
};

// Puts the input into the slot, empty or not, verbatim: signature
// included. Reports up to "<name> loaded."; true when the image changed.
bool ReplaceEntry(SaveImage& image, int slot, ReplacementInput& input, Reporter& report);

// Puts the input over the slot's thumbnail; an input shorter than a
// thumbnail leaves the rest zero. Reports and returns as ReplaceEntry.
bool ReplaceThumbnail(SaveImage& image, int slot, ReplacementInput& input, Reporter& report);

}  // namespace kv5

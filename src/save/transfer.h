#pragma once

#include <optional>
#include <string>

#include "save/save_image.h"

namespace kv5 {

// Moving raw bytes between one slot of the save and a file of its own: a
// whole entry (29832 bytes, "entry<n>.bin") or just its thumbnail picture
// (the entry's last 16368 bytes, "image<n>.ptc"). No byte is decoded or
// adjusted on the way, so a character copied out of one save and into
// another arrives exactly as it was. `slot` is the slot index, 0 to 117;
// the entry number in names and messages is one more.
//
// `into_directory` ("-p") puts extracted files into "entries" or
// "thumbnails" and the new save into "save", leaving the save file alone.

// Writes the slot's entry to its entry file; only a slot that holds an entry
// can be extracted. False after the message when no file was written.
bool ExtractEntry(const SaveImage& image, int slot, bool into_directory);

// Writes the slot's thumbnail to its thumbnail file; returns as ExtractEntry.
bool ExtractThumbnail(const SaveImage& image, int slot, bool into_directory);

// Puts the entry file `input_path` into the slot, empty or not, and writes
// the new save. Returns the new save's name, or nothing after printing why
// no new save exists.
std::optional<std::string> ReplaceEntry(SaveImage& image, int slot, const std::string& input_path,
                                        const std::string& save_path, bool into_directory);

// Puts the thumbnail file `input_path` over the slot's thumbnail and writes
// the new save; a file shorter than a thumbnail leaves the rest zero.
// Returns as ReplaceEntry does.
std::optional<std::string> ReplaceThumbnail(SaveImage& image, int slot,
                                            const std::string& input_path,
                                            const std::string& save_path, bool into_directory);

}  // namespace kv5

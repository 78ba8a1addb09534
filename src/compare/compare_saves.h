#pragma once

#include "save/save_image.h"
#include "text/text_export.h"

namespace kv5 {

// Compares two saves, `first` the old one and `second` the new one, and
// writes what differs through `write`, a slot's section at a time and then
// the closing lines, as text that the write mode can apply
// to any save. For every slot in which either save holds a character and the
// two differ, in slot order, a section "[ENTRY<n>]": either a comment that
// only one save holds a character there, or
//   - for every field whose value as the export writes it differs, and that
//     the export writes for `second`: "# was <old value>" and the field line
//     the export writes for the new value (aligned with `aligned_text`);
//   - "# Bytes 0x<first>-0x<last> differ (...)." for every run of differing
//     bytes below the thumbnail that those lines do not set to the new bytes,
//     with the fields the run lies on;
//   - "# The thumbnail differs (<n> bytes)." when it does.
// Then the count of bytes that differ outside the characters, the two sizes
// when they differ, and "# <n> entries differ.". Every line ends in "\n".
// Needs the built field catalogue. Returns whether the saves differ at all.
bool CompareSaves(const SaveImage& first, const SaveImage& second, bool aligned_text,
                  const TextSink& write);

}  // namespace kv5

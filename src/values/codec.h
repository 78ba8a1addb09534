#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/field.h"
#include "save/save_image.h"
#include "save/span.h"
#include "values/value_store.h"

namespace kv5 {

// How many bytes of an entry a field of `kind` lies on: a text's 19
// characters and its closing NUL, a number's encoded size, a byte array's
// `length`; none for the kinds that live only in the text.
std::size_t FieldSize(FieldKind kind, std::int32_t length);

// Decodes one field from `bytes`, which start at the field's first byte and
// run at most to the end of the image. Returns whether the field is present:
// a text field whose first byte is not printable, or whose printable run is
// longer than the 19 characters a value can hold, is absent, so a long name
// is never cut short when the entry is written back. Kinds that live only in
// the text are absent too.
bool DecodeField(FieldKind kind, std::int32_t length, ConstByteSpan bytes, ValueRecord& value);

// Encodes one field into `bytes`. Text is written with a closing NUL; the
// bytes after it keep what they held.
void EncodeField(FieldKind kind, std::int32_t length, const ValueRecord& value, ByteSpan bytes);

// Decodes field `field` of an entry, found at absolute `position` of the
// image, into `entry`, and marks it present.
void DecodeValue(int field, EntryValues& entry, std::int64_t position, const SaveImage& image);

// Writes field `field` of `entry` into the image at `position`, if the entry
// holds a value for it.
void EncodeValue(int field, const EntryValues& entry, std::int64_t position, SaveImage& image);

}  // namespace kv5

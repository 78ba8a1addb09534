#pragma once

#include "save/save_image.h"
#include "text/text_import.h"

namespace kv5 {

// Takes out of `store` every value whose line says exactly what the
// export says for that field in `image`, the save as it was loaded, so that
// writing the store back leaves those bytes as they are. A whole export
// written back unchanged then changes no byte: not a float that six decimals
// cannot hold, not a name followed by a byte other than NUL, and not the
// edited twin of a field that shares its bytes with an unchanged one.
// Entries stay touched. Call it after the import and before the encode pass.
void DropUnchangedValues(const SaveImage& image, const ImportedText& imported, ValueStore& store);

}  // namespace kv5

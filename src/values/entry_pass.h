#pragma once

#include "save/reporter.h"
#include "save/save_image.h"
#include "values/value_store.h"

namespace kv5 {

enum class PassDirection { kDecode, kEncode };

// Walks the slots of the save in order, up to the first one that does not lie
// inside the image. kDecode puts every entry's fields into `store`; kEncode
// writes back the stored fields of every custom slot the text touched, and
// never a replay slot. Reports the pass's messages and counts.
void ProcessSaveData(PassDirection direction, SaveImage& image, ValueStore& store,
                     Reporter& report);

// Decodes the one entry in `slot`, which must lie inside the image, into
// `entry`, as the decode pass does.
void DecodeEntry(int slot, const SaveImage& image, EntryValues& entry);

}  // namespace kv5

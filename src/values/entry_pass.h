#pragma once

#include "save/save_image.h"

namespace kv5 {

enum class PassDirection { kDecode, kEncode };

// Walks the slots of the save in order, up to the first one that does not lie
// inside the image. kDecode puts every entry's fields into the value store;
// kEncode writes back the stored fields of every custom slot the text
// touched, and never a replay slot. Prints the pass's messages and counts.
void ProcessSaveData(PassDirection direction, SaveImage& image);

}  // namespace kv5

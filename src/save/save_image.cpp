#include "save/save_image.h"

#include <cstdio>
#include <utility>

namespace kv5 {

SaveImage& TheSaveImage() {
  static SaveImage image;
  return image;
}

bool LoadSaveData(File& save_file, const std::string& save_path, SaveImage& image) {
  std::optional<ImageBytes> bytes;
  // A FIFO or a device is no save: reading it could wait for ever.
  const std::optional<std::int64_t> length =
      save_file.IsRegular() ? save_file.Length() : std::nullopt;
  if (length) bytes = save_file.ReadExactly<ImageBytes>(*length);
  if (!bytes) {
    std::printf("Error: Couldn't read %s.\n", save_path.c_str());
    return false;
  }
  image.bytes = std::move(*bytes);
  std::printf("Save data loaded.\n");
  image.edition = DetectEdition(image.view());
  std::printf("%s", EditionMessage(image.edition));
  return true;
}

bool LoadSaveData(File& save_file, const std::string& save_path) {
  return LoadSaveData(save_file, save_path, TheSaveImage());
}

void FreeSaveData() {
  SaveImage& image = TheSaveImage();
  image.bytes = ImageBytes();
  image.edition = Edition::kUnknown;
}

}  // namespace kv5

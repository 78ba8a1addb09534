#include "save/save_image.h"

#include <utility>

namespace kv5 {

void LoadSaveData(ImageBytes bytes, SaveImage& image, Reporter& report) {
  image.bytes = std::move(bytes);
  report.Say("Save data loaded.\n");
  image.edition = DetectEdition(image.view());
  report.Write(EditionMessage(image.edition));
}

bool LoadSaveData(File& save_file, const std::string& save_path, SaveImage& image,
                  Reporter& report) {
  std::optional<ImageBytes> bytes;
  // A FIFO or a device is no save: reading it could wait for ever.
  const std::optional<std::int64_t> length =
      save_file.IsRegular() ? save_file.Length() : std::nullopt;
  if (length) bytes = save_file.ReadExactly<ImageBytes>(*length);
  if (!bytes) {
    report.Say("Error: Couldn't read %s.\n", save_path.c_str());
    return false;
  }
  LoadSaveData(std::move(*bytes), image, report);
  return true;
}

}  // namespace kv5

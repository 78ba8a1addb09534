#include "text/unchanged_lines.h"

#include <cstddef>

#include "catalogue/catalogue.h"
#include "save/slots.h"
#include "text/text_export.h"
#include "values/codec.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

// Whether the stored value of `field` reads in the export exactly as the
// export of the loaded entry `entry_bytes` reads. A field that export leaves
// out (absent, or a name that would not read back) is never the same. Bytes
// compare by the digits they give, a name by its text as the import took it,
// and a float also by how its line typed it.
bool SaysWhatTheExportSays(int field, const ValueRecord& stored, bool float_typed_as_exported,
                           ConstByteSpan entry_bytes) {
  const FieldDefinition& definition = Field(field);
  if (definition.kind == FieldKind::kFloat && !float_typed_as_exported) return false;
  ValueRecord loaded;
  const ConstByteSpan bytes =
      entry_bytes.subspan(static_cast<std::size_t>(definition.offset), entry_bytes.size());
  if (!DecodeField(definition.kind, definition.length, bytes, loaded)) return false;
  if (!ExportWrites(field, loaded)) return false;
  return ExportedValue(field, stored).text() == ExportedValue(field, loaded).text();
}

}  // namespace

void DropUnchangedValues(const SaveImage& image, const ImportedText& imported, ValueStore& store) {
  // Only custom slots that hold an entry are ever written back.
  for (int slot = 0; slot < kCustomSlotCount && image.SlotInImage(slot); ++slot) {
    EntryValues& entry = store.entries[static_cast<std::size_t>(slot)];
    if (!entry.touched || !image.SlotHoldsEntry(slot)) continue;
    const ConstByteSpan entry_bytes = image.Entry(slot);
    const auto& typed = imported.float_typed_as_exported[static_cast<std::size_t>(slot)];
    for (int field = 0; field < kFieldCount; ++field) {
      const auto id = static_cast<std::size_t>(field);
      if (entry.present[id] &&
          SaysWhatTheExportSays(field, entry.values[id], typed[id], entry_bytes)) {
        entry.present[id] = false;
      }
    }
  }
}

}  // namespace kv5

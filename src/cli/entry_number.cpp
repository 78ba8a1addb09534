#include "cli/entry_number.h"

#include "save/slots.h"
#include "text/tokens.h"

namespace kv5 {

bool EntryNumber::valid() const { return as_read >= 1 && as_read <= kSlotCount; }

EntryNumber ReadEntryNumberArgument(std::string_view text) {
  EntryNumber number;
  number.as_read = ReadDecimalInteger(text);
  return number;
}

}  // namespace kv5

#include "cli/entry_number.h"

#include "save/slots.h"
#include "text/tokens.h"

namespace kv5 {

bool EntryNumber::valid() const { return plain && as_read >= 1 && as_read <= kSlotCount; }

EntryNumber ReadEntryNumberArgument(std::string_view text) {
  EntryNumber number;
  std::size_t digits = text.find_first_not_of(" \t\n\v\f\r");
  if (digits != std::string_view::npos && (text[digits] == '+' || text[digits] == '-')) ++digits;
  number.plain = digits < text.size() &&
                 text.find_first_not_of("0123456789", digits) == std::string_view::npos;
  number.as_read = ReadDecimalInteger(text);
  return number;
}

}  // namespace kv5

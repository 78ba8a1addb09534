#pragma once

#include <cstdint>
#include <string_view>

namespace kv5 {

// An entry number from the command line. Only a plain whole number counts:
// leading white space, an optional sign, then decimal digits and nothing
// else; "1e3" or "7abc" is not read as the number it begins with. The
// number is read the way `atoi` reads it, and one beyond the 32-bit range is
// held at the nearest bound, so it can never wrap into a valid slot.
struct EntryNumber {
  bool plain = false;
  std::int32_t as_read = 0;

  bool valid() const;
  int slot() const { return as_read - 1; }  // slot index, when valid
};

EntryNumber ReadEntryNumberArgument(std::string_view text);

}  // namespace kv5

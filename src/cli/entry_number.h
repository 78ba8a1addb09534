#pragma once

#include <cstdint>
#include <string_view>

namespace kv5 {

// An entry number from the command line, read the way `atoi` reads it:
// leading white space, an optional sign, then decimal digits up to the first
// other character; no digits read as 0. A number beyond the 32-bit range is
// held at the nearest bound, so it can never wrap into a valid slot.
struct EntryNumber {
  std::int32_t as_read = 0;

  bool valid() const;
  int slot() const { return as_read - 1; }  // slot index, when valid
};

EntryNumber ReadEntryNumberArgument(std::string_view text);

}  // namespace kv5

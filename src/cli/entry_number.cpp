#include "cli/entry_number.h"

#include <limits>

#include "save/slots.h"

namespace kv5 {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool EntryNumber::valid() const { return as_read >= 1 && as_read <= kSlotCount; }

EntryNumber ReadEntryNumberArgument(std::string_view text) {
  constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();

  std::size_t position = 0;
  while (position < text.size() && IsCSpace(text[position])) ++position;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  // Past the 32-bit range the value only needs to stay there.
  std::int64_t magnitude = 0;
  for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
    if (magnitude <= kHighest + 1) magnitude = magnitude * 10 + (text[position] - '0');
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  EntryNumber number;
  number.as_read = static_cast<std::int32_t>(value < kLowest ? kLowest : value > kHighest ? kHighest : value);
  return number;
}

}  // namespace kv5

#include "values/codec.h"

#include <cstring>

namespace kv5 {
namespace {

bool IsPrintable(std::uint8_t byte) { return byte >= 32 && byte <= 126; }

std::uint32_t ReadBigEndian(ConstByteSpan bytes, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

void WriteBigEndian(std::uint32_t value, std::size_t count, ByteSpan bytes) {
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * (count - 1 - i)));
  }
}

std::uint32_t FloatBits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

float FloatFromBits(std::uint32_t bits) {
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool DecodeText(ConstByteSpan bytes, ValueRecord& value) {
  constexpr std::size_t kLongest = kStoreTextCapacity - 1;
  std::size_t length = 0;
  while (length < bytes.size() && length <= kLongest && IsPrintable(bytes[length])) ++length;
  if (length == 0 || length > kLongest) return false;
  value.text.Assign(std::string_view(reinterpret_cast<const char*>(bytes.data()), length));
  return true;
}

}  // namespace

std::size_t FieldSize(FieldKind kind, std::int32_t length) {
  switch (kind) {
    case FieldKind::kText:
      return kStoreTextCapacity;
    case FieldKind::kByte:
      return 1;
    case FieldKind::kInt16:
      return 2;
    case FieldKind::kInt32:
    case FieldKind::kFloat:
      return 4;
    case FieldKind::kByteArray:
      return ByteArrayLength(length);
    case FieldKind::kNone:
    case FieldKind::kInteger:
    case FieldKind::kFloatTriple:
      break;
  }
  return 0;
}

bool DecodeField(FieldKind kind, std::int32_t length, ConstByteSpan bytes, ValueRecord& value) {
  switch (kind) {
    case FieldKind::kText:
      return DecodeText(bytes, value);
    case FieldKind::kByte:
      if (bytes.size() < 1) return false;
      value.byte_value = bytes[0];
      return true;
    case FieldKind::kInt16:
      if (bytes.size() < 2) return false;
      value.integer_value = static_cast<std::int32_t>(ReadBigEndian(bytes, 2));
      return true;
    case FieldKind::kInt32:
      if (bytes.size() < 4) return false;
      value.integer_value = static_cast<std::int32_t>(ReadBigEndian(bytes, 4));
      return true;
    case FieldKind::kFloat:
      if (bytes.size() < 4) return false;
      value.floats[0] = FloatFromBits(ReadBigEndian(bytes, 4));
      return true;
    case FieldKind::kByteArray: {
      const std::size_t count = ByteArrayLength(length);
      if (count > bytes.size()) return false;
      std::memcpy(value.bytes.data(), bytes.data(), count);
      return true;
    }
    case FieldKind::kNone:
    case FieldKind::kInteger:
    case FieldKind::kFloatTriple:
      break;
  }
  return false;
}

void EncodeField(FieldKind kind, std::int32_t length, const ValueRecord& value, ByteSpan bytes) {
  switch (kind) {
    case FieldKind::kText: {
      const std::string_view text = value.text.view();
      if (text.size() + 1 > bytes.size()) return;
      std::memcpy(bytes.data(), text.data(), text.size());
      bytes[text.size()] = 0;
      return;
    }
    case FieldKind::kByte:
      if (bytes.size() >= 1) bytes[0] = value.byte_value;
      return;
    case FieldKind::kInt16:
      if (bytes.size() >= 2)
        WriteBigEndian(static_cast<std::uint32_t>(value.integer_value), 2, bytes);
      return;
    case FieldKind::kInt32:
      if (bytes.size() >= 4)
        WriteBigEndian(static_cast<std::uint32_t>(value.integer_value), 4, bytes);
      return;
    case FieldKind::kFloat:
      if (bytes.size() >= 4) WriteBigEndian(FloatBits(value.floats[0]), 4, bytes);
      return;
    case FieldKind::kByteArray: {
      const std::size_t count = ByteArrayLength(length);
      if (count <= bytes.size()) std::memcpy(bytes.data(), value.bytes.data(), count);
      return;
    }
    case FieldKind::kNone:
    case FieldKind::kInteger:
    case FieldKind::kFloatTriple:
      return;
  }
}

void DecodeValue(int field, EntryValues& entry, std::int64_t position, const SaveImage& image) {
  const FieldDefinition& definition = Field(field);
  const ConstByteSpan bytes = image.view().subspan(static_cast<std::size_t>(position), SIZE_MAX);
  const bool present = DecodeField(definition.kind, definition.length, bytes,
                                   entry.values[static_cast<std::size_t>(field)]);
  entry.present[static_cast<std::size_t>(field)] = present;
  if (present) entry.touched = true;
}

void EncodeValue(int field, const EntryValues& entry, std::int64_t position, SaveImage& image) {
  if (!entry.present[static_cast<std::size_t>(field)]) return;
  const FieldDefinition& definition = Field(field);
  const ByteSpan bytes = ByteSpan(image.bytes.data(), image.bytes.size())
                             .subspan(static_cast<std::size_t>(position), SIZE_MAX);
  EncodeField(definition.kind, definition.length, entry.values[static_cast<std::size_t>(field)],
              bytes);
}

}  // namespace kv5

#include "config/byte_source.h"

#include <algorithm>
#include <cstring>

size_t MemoryByteSource::readAt(uint64_t offset, void* buffer, size_t count) {
  if (offset >= bytes_.size()) return 0;
  size_t n = static_cast<size_t>(std::min<uint64_t>(count, bytes_.size() - offset));
  std::memcpy(buffer, bytes_.data() + offset, n);
  return n;
}

std::optional<uint16_t> readU16(ByteSource& source, uint64_t offset) {
  uint8_t b[2];
  if (source.readAt(offset, b, sizeof b) != sizeof b) return std::nullopt;
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

std::optional<uint32_t> readU32(ByteSource& source, uint64_t offset) {
  uint8_t b[4];
  if (source.readAt(offset, b, sizeof b) != sizeof b) return std::nullopt;
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}

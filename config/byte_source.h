#pragma once
// Random access to the bytes of a file, so that the image check and the block
// reader run the same on a platform stream (install.exe), a file the tool
// has read and bytes a test has made.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class ByteSource {
 public:
  ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;
  virtual ~ByteSource() = default;

  // The number of bytes in the source.
  virtual uint64_t size() = 0;
  // Copies up to `count` bytes starting at `offset` and returns how many it
  // copied: fewer at the end of the source or on a read error, 0 at or past
  // the end.
  virtual size_t readAt(uint64_t offset, void* buffer, size_t count) = 0;
};

// Bytes held in memory; the caller keeps them alive.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t size() override { return bytes_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override;

 private:
  std::span<const uint8_t> bytes_;
};

// Little-endian values; nullopt when the source ends inside the value.
std::optional<uint16_t> readU16(ByteSource& source, uint64_t offset);
std::optional<uint32_t> readU32(ByteSource& source, uint64_t offset);

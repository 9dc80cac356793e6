#include "tests/support/pe_fixture.h"

#include <fstream>
#include <algorithm>
#include <stdexcept>

namespace {

constexpr uint32_t kHeadersSize = 0x400;
constexpr uint32_t kFirstSectionSize = 0x1000;

uint16_t optionalHeaderSize(PeKind kind) { return kind == PeKind::Pe32 ? 224 : 240; }

void putSection(std::vector<uint8_t>& image, uint64_t at, const char* name, uint32_t rva, uint32_t rawSize,
                uint32_t rawPointer) {
  for (int i = 0; name[i] != 0; ++i) image[at + i] = static_cast<uint8_t>(name[i]);
  putU32(image, at + 8, rawSize);  // VirtualSize
  putU32(image, at + 12, rva);
  putU32(image, at + 16, rawSize);
  putU32(image, at + 20, rawPointer);
  putU32(image, at + 36, 0x40000040);  // initialised data, readable
}

}  // namespace

void putU16(std::vector<uint8_t>& bytes, uint64_t offset, uint16_t value) {
  bytes.at(offset) = static_cast<uint8_t>(value);
  bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void putU32(std::vector<uint8_t>& bytes, uint64_t offset, uint32_t value) {
  putU16(bytes, offset, static_cast<uint16_t>(value));
  putU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

uint32_t getU32(const std::vector<uint8_t>& bytes, uint64_t offset) {
  return bytes.at(offset) | bytes.at(offset + 1) << 8 | bytes.at(offset + 2) << 16 |
         static_cast<uint32_t>(bytes.at(offset + 3)) << 24;
}

uint64_t securityDirectoryOffset(PeKind kind) {
  return kFixturePeOffset + 24 + (kind == PeKind::Pe32 ? 128 : 144);
}

std::vector<uint8_t> syntheticImage(uint32_t size, PeKind kind) {
  if (size < kHeadersSize + kFirstSectionSize + 0x200) throw std::invalid_argument("image too small");
  std::vector<uint8_t> image(size, 0);
  image[0] = 'M';
  image[1] = 'Z';
  putU32(image, 60, kFixturePeOffset);
  const uint64_t pe = kFixturePeOffset;
  image[pe] = 'P';
  image[pe + 1] = 'E';
  putU16(image, pe + 4, kind == PeKind::Pe32 ? 0x14C : 0x8664);
  putU16(image, pe + 6, 2);
  putU16(image, pe + 20, optionalHeaderSize(kind));
  putU16(image, pe + 22, kind == PeKind::Pe32 ? 0x0102 : 0x0022);
  const uint64_t opt = pe + 24;
  putU16(image, opt, kind == PeKind::Pe32 ? 0x10B : 0x20B);
  putU32(image, opt + 16, 0x1000);  // AddressOfEntryPoint
  putU32(image, opt + 32, 0x1000);  // SectionAlignment
  putU32(image, opt + 36, 0x200);   // FileAlignment
  putU16(image, opt + 40, 4);       // MajorOperatingSystemVersion
  putU16(image, opt + 48, 4);       // MajorSubsystemVersion
  uint32_t secondSize = size - kHeadersSize - kFirstSectionSize;
  putU32(image, opt + 56, 0x2000 + ((secondSize + 0xFFF) & ~0xFFFu));  // SizeOfImage
  putU32(image, opt + 60, kHeadersSize);                               // SizeOfHeaders
  putU16(image, opt + 68, 2);                                          // Subsystem: GUI
  if (kind == PeKind::Pe32) {
    putU32(image, opt + 28, 0x400000);  // ImageBase
    putU32(image, opt + 92, 16);        // NumberOfRvaAndSizes
  } else {
    putU32(image, opt + 24, 0x400000);
    putU32(image, opt + 108, 16);
  }
  const uint64_t sections = opt + optionalHeaderSize(kind);
  putSection(image, sections, ".text", 0x1000, kFirstSectionSize, kHeadersSize);
  putSection(image, sections + 40, ".data", 0x2000, secondSize, kHeadersSize + kFirstSectionSize);
  return image;
}

void appendCertificateTable(std::vector<uint8_t>& file, PeKind kind, uint32_t tableSize) {
  file.resize((file.size() + 7) / 8 * 8, 0);
  uint32_t offset = static_cast<uint32_t>(file.size());
  file.resize(file.size() + tableSize, 0xCC);
  putU32(file, securityDirectoryOffset(kind), offset);
  putU32(file, securityDirectoryOffset(kind) + 4, tableSize);
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

#pragma once
// Synthetic PE images for the tests: just the headers the image check and
// signing tools read, and zero-filled section data, so a test can make an
// image of any size and architecture without a linker.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/temp_folder.h"

enum class PeKind { Pe32, Pe32Plus };

inline constexpr uint32_t kFixturePeOffset = 0x80;

// An image whose last section's raw data ends exactly at `size` (at least
// 0x2000): two sections, the second one ending the file.
std::vector<uint8_t> syntheticImage(uint32_t size, PeKind kind = PeKind::Pe32);

// The optional header's offset of the security directory entry.
uint64_t securityDirectoryOffset(PeKind kind);

// Signs the way a signing tool lays a signature out: pads the file with
// zeros to a multiple of 8, appends a certificate table of `tableSize`
// bytes (filled with 0xCC) and records it in the security directory.
void appendCertificateTable(std::vector<uint8_t>& file, PeKind kind, uint32_t tableSize);

void putU16(std::vector<uint8_t>& bytes, uint64_t offset, uint16_t value);
void putU32(std::vector<uint8_t>& bytes, uint64_t offset, uint32_t value);
uint32_t getU32(const std::vector<uint8_t>& bytes, uint64_t offset);

std::vector<uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);

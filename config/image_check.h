#pragma once
// The check install.exe makes of its own file before any window exists: is
// it a PE image, and is anything appended behind the raw data of its last
// section? Also finds an Authenticode certificate table at the end of the
// file, behind which nothing of ours can lie: a file signed after packing is
// taken as ending where that table begins.

#include <cstdint>
#include <optional>
#include <string>

#include "config/byte_source.h"

enum class ImageStatus {
  Image,       // the headers were read
  CutShort,    // the file ends inside the headers it has to read
  NoMz,        // the first two bytes are not "MZ"
  NoPe,        // no "PE" at the offset the DOS header gives
  NoSections,  // the section table is empty: no end of image to measure
};

// The security data directory: a file offset and a size.
struct CertificateTable {
  uint32_t offset = 0;
  uint32_t size = 0;
  uint64_t end() const { return uint64_t{offset} + size; }
};

struct ImageInfo {
  ImageStatus status = ImageStatus::CutShort;
  uint64_t fileSize = 0;
  uint32_t peOffset = 0;
  uint16_t machine = 0;
  uint16_t sectionCount = 0;
  uint16_t optionalHeaderSize = 0;
  uint16_t optionalMagic = 0;  // 0x10B for PE32, 0x20B for PE32+
  // PointerToRawData + SizeOfRawData of the last section header in table
  // order (not the one with the highest offset).
  uint64_t imageEnd = 0;
  // The security directory when it names a table (offset and size not 0).
  std::optional<CertificateTable> certificateTable;
  // The file as the block reader sees it: the start of a certificate table
  // that ends exactly at the end of the file, otherwise the file's size.
  uint64_t effectiveEnd = 0;

  bool isImage() const { return status == ImageStatus::Image; }
  bool signatureEndsFile() const { return certificateTable && certificateTable->end() == fileSize; }
  // What install.exe asks before it goes on: something lies between the end
  // of the image and the effective end of the file.
  bool passes() const { return isImage() && effectiveEnd > imageEnd; }
};

// Reads the headers of the image. The section table is found through the
// file header's SizeOfOptionalHeader, so PE32 and PE32+ are both measured
// right. Never reads past the end of the source.
ImageInfo inspectImage(ByteSource& source);

// The effective end of any file: the start of a certificate table that ends
// it when the file is a PE image that names one, otherwise its size.
uint64_t effectiveFileEnd(ByteSource& source);

// Plain words for a status, e.g. "the file does not start with \"MZ\"".
std::string describeImageStatus(ImageStatus status);

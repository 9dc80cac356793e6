#include "config/image_check.h"

namespace {

constexpr uint64_t kPeOffsetField = 60;        // e_lfanew in the DOS header
constexpr uint64_t kSectionCountField = 6;     // from the PE signature
constexpr uint64_t kOptionalSizeField = 20;    // from the PE signature
constexpr uint64_t kOptionalHeaderStart = 24;  // signature (4) + file header (20)
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint64_t kRawSizeField = 16;  // SizeOfRawData, PointerToRawData follows
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kSecurityDirectoryIndex = 4;

bool startsWith(ByteSource& source, uint64_t offset, char a, char b) {
  char bytes[2];
  return source.readAt(offset, bytes, 2) == 2 && bytes[0] == a && bytes[1] == b;
}

// The security directory when the optional header holds it; only a table
// with both offset and size set counts (signing tools leave zeros otherwise).
std::optional<CertificateTable> readCertificateTable(ByteSource& source, const ImageInfo& info) {
  uint64_t optional = uint64_t{info.peOffset} + kOptionalHeaderStart;
  uint64_t countField, directories;
  if (info.optionalMagic == kMagicPe32) {
    countField = 92;
    directories = 96;
  } else if (info.optionalMagic == kMagicPe32Plus) {
    countField = 108;
    directories = 112;
  } else {
    return std::nullopt;
  }
  uint64_t entry = directories + kSecurityDirectoryIndex * 8;
  if (info.optionalHeaderSize < entry + 8) return std::nullopt;
  auto count = readU32(source, optional + countField);
  if (!count || *count <= kSecurityDirectoryIndex) return std::nullopt;
  auto offset = readU32(source, optional + entry);
  auto size = readU32(source, optional + entry + 4);
  if (!offset || !size || *offset == 0 || *size == 0) return std::nullopt;
  return CertificateTable{*offset, *size};
}

}  // namespace

ImageInfo inspectImage(ByteSource& source) {
  ImageInfo info;
  info.fileSize = source.size();
  info.effectiveEnd = info.fileSize;
  if (info.fileSize < 2) return info;
  if (!startsWith(source, 0, 'M', 'Z')) {
    info.status = ImageStatus::NoMz;
    return info;
  }
  auto peOffset = readU32(source, kPeOffsetField);
  if (!peOffset) return info;
  info.peOffset = *peOffset;
  uint64_t pe = *peOffset;
  if (info.fileSize < pe + 2) return info;
  if (!startsWith(source, pe, 'P', 'E')) {
    info.status = ImageStatus::NoPe;
    return info;
  }
  auto machine = readU16(source, pe + 4);
  auto sections = readU16(source, pe + kSectionCountField);
  auto optionalSize = readU16(source, pe + kOptionalSizeField);
  if (!machine || !sections || !optionalSize) return info;
  info.machine = *machine;
  info.sectionCount = *sections;
  info.optionalHeaderSize = *optionalSize;
  if (info.sectionCount == 0) {
    info.status = ImageStatus::NoSections;
    return info;
  }
  if (info.optionalHeaderSize >= 2) {
    auto magic = readU16(source, pe + kOptionalHeaderStart);
    if (!magic) return info;
    info.optionalMagic = *magic;
  }
  uint64_t lastSection = pe + kOptionalHeaderStart + info.optionalHeaderSize +
                         (uint64_t{info.sectionCount} - 1) * kSectionHeaderSize;
  auto rawSize = readU32(source, lastSection + kRawSizeField);
  auto rawPointer = readU32(source, lastSection + kRawSizeField + 4);
  if (!rawSize || !rawPointer) return info;
  info.imageEnd = uint64_t{*rawPointer} + *rawSize;
  info.certificateTable = readCertificateTable(source, info);
  if (info.signatureEndsFile()) info.effectiveEnd = info.certificateTable->offset;
  info.status = ImageStatus::Image;
  return info;
}

uint64_t effectiveFileEnd(ByteSource& source) {
  ImageInfo info = inspectImage(source);
  return info.isImage() ? info.effectiveEnd : info.fileSize;
}

std::string describeImageStatus(ImageStatus status) {
  switch (status) {
    case ImageStatus::Image:
      return "a PE image";
    case ImageStatus::CutShort:
      return "the file ends inside the PE headers";
    case ImageStatus::NoMz:
      return "the file does not start with \"MZ\" (not a PE image)";
    case ImageStatus::NoPe:
      return "no \"PE\" signature where the DOS header points (not a PE image)";
    case ImageStatus::NoSections:
      return "the image has no sections";
  }
  return "unknown";
}

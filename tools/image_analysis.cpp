#include "tools/image_analysis.h"

#include <algorithm>

#include "tools/content_rules.h"

namespace {

std::string machineName(const ImageInfo& image) {
  switch (image.optionalMagic) {
    case 0x10B:
      return "PE32";
    case 0x20B:
      return "PE32+";
    default:
      return "PE (unknown optional header)";
  }
}

// Why the trailer of a signed file is misplaced. A signing tool pads the
// file to a multiple of 8 before its table; when that padding pushed a good
// trailer away from the table, say so.
std::string misplacedTrailerCause(std::span<const uint8_t> bytes, const ImageInfo& image) {
  uint64_t tableStart = image.effectiveEnd;
  for (uint64_t padding = 1; padding < kSignatureAlignment && padding + kTrailerSize <= tableStart; ++padding) {
    uint64_t at = tableStart - padding - kTrailerSize;
    auto paddingBytes = bytes.subspan(at + kTrailerSize, padding);
    if (std::any_of(paddingBytes.begin(), paddingBytes.end(), [](uint8_t b) { return b != 0; })) break;
    uint32_t value = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    if (value >= image.imageEnd && value < at) {
      return "the file was signed without --sign-ready: the signing tool put " + std::to_string(padding) +
             " zero bytes between the trailer (at " + formatOffset(at) +
             ") and its certificate table. Pack the unsigned image again with --sign-ready, then sign";
    }
  }
  return "the 4 bytes before the certificate table do not point between the end of the image (" +
         formatOffset(image.imageEnd) + ") and the table (" + formatOffset(tableStart) +
         "): the file was signed without --sign-ready, or signed before packing. Pack the unsigned image with "
         "--sign-ready, then sign";
}

void describeSignature(ImageAnalysis& a) {
  const ImageInfo& image = a.image;
  if (!image.certificateTable) return;
  const CertificateTable& table = *image.certificateTable;
  std::string where = "certificate table at " + formatOffset(table.offset) + ", " + std::to_string(table.size) + " bytes";
  if (image.signatureEndsFile()) {
    a.signature = "signature present: " + where + ", at the end of the file; the block is read as if the file ended at " +
                  formatOffset(image.effectiveEnd);
  } else {
    a.signature = "signature present but not at the end of the file (" + where + "): data was added after signing, "
                  "which breaks the signature; the last 4 bytes are taken as the trailer";
    a.warnings.push_back(a.signature);
  }
}

}  // namespace

ImageAnalysis analyseImage(std::span<const uint8_t> bytes) {
  ImageAnalysis a;
  MemoryByteSource source(bytes);
  a.image = inspectImage(source);
  const ImageInfo& image = a.image;
  a.facts.push_back("file: " + std::to_string(image.fileSize) + " bytes");

  if (!image.isImage()) {
    a.errors.push_back(describeImageStatus(image.status) + ": install.exe would return -1 without a window");
    a.reading = readConfigBlock(source, image.fileSize);
    return a;
  }
  a.facts.push_back("image: " + machineName(image) + ", " + std::to_string(image.sectionCount) +
                    " sections, the last section's raw data ends at " + formatOffset(image.imageEnd));
  describeSignature(a);
  a.facts.push_back(a.signature.empty() ? "signature: none" : a.signature);
  if (!image.passes()) {
    a.errors.push_back("nothing is appended to the image (it ends at " + formatOffset(image.imageEnd) +
                       ", the file at " + formatOffset(image.effectiveEnd) +
                       "): install.exe would return -1 without a window");
    return a;
  }

  a.reading = readConfigBlock(source, image.effectiveEnd);
  const BlockReading& r = a.reading;
  bool trailerRead = !std::any_of(r.problems.begin(), r.problems.end(),
                                  [](const BlockProblem& p) { return p.kind == BlockProblem::Kind::NoTrailer; });
  if (trailerRead) {
    a.facts.push_back("trailer at " + formatOffset(r.trailerOffset) + ": the block starts at " +
                      formatOffset(r.blockOffset));
  }
  for (const BlockProblem& p : r.problems) {
    std::string text = describeBlockProblem(p);
    if (p.kind == BlockProblem::Kind::StringWithoutNul) {
      a.warnings.push_back(text);
    } else if (p.kind == BlockProblem::Kind::FieldCutShort) {
      a.errors.push_back("the block is cut short: " + text + "; install.exe stops loading there");
    } else {
      a.errors.push_back(text);
    }
  }
  bool trailerPointsBehindImage = blockLiesBehindImage(r.blockOffset, image.imageEnd, r.trailerOffset);
  if (trailerRead && !trailerPointsBehindImage) {
    bool outside = r.blockOffset >= image.effectiveEnd;
    if (!outside && r.blockOffset < image.imageEnd) {
      a.errors.push_back("the trailer points into the image (" + formatOffset(r.blockOffset) +
                         "), not to a block behind it");
    }
    if (image.signatureEndsFile()) a.errors.push_back(misplacedTrailerCause(bytes, image));
  }
  if (r.complete && trailerPointsBehindImage) {
    a.contentErrors = contentProblems(r.content);
    a.facts.push_back("block: " + std::to_string(r.end - r.blockOffset) + " bytes, read whole, with " +
                      std::to_string(r.content.extraEntries.size()) + " extra and " +
                      std::to_string(r.content.preserveEntries.size()) + " preserve entries");
    if (r.end > r.trailerOffset) {
      uint64_t overlap = r.end - r.trailerOffset;
      a.warnings.push_back("the block overlaps its own trailer by " + std::to_string(overlap) +
                           (overlap == 1 ? " byte" : " bytes"));
    } else if (r.end < r.trailerOffset) {
      a.facts.push_back(std::to_string(r.trailerOffset - r.end) + " bytes between the block and the trailer");
    }
  }
  return a;
}

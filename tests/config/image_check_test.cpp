// The image check on synthetic images of both layouts, damaged headers and
// signed files.
#include <gtest/gtest.h>

#include "config/config_block.h"
#include "config/image_check.h"
#include "tests/support/pe_fixture.h"

namespace {

ImageInfo inspect(const std::vector<uint8_t>& bytes) {
  MemoryByteSource source(bytes);
  return inspectImage(source);
}

std::vector<uint8_t> packed(PeKind kind, bool signReady) {
  std::vector<uint8_t> file = syntheticImage(0x3000, kind);
  ConfigBlockContent content;
  content.config.title = "signed";
  appendConfigBlock(file, serializeConfigBlock(content), signReady);
  return file;
}

}  // namespace

TEST(ImageCheck, PassesOnlyWithSomethingAppendedForBothLayouts) {
  for (PeKind kind : {PeKind::Pe32, PeKind::Pe32Plus}) {
    SCOPED_TRACE(kind == PeKind::Pe32 ? "PE32" : "PE32+");
    std::vector<uint8_t> image = syntheticImage(0x5000, kind);
    ImageInfo plain = inspect(image);
    EXPECT_EQ(plain.status, ImageStatus::Image);
    EXPECT_EQ(plain.imageEnd, 0x5000u);
    EXPECT_EQ(plain.optionalMagic, kind == PeKind::Pe32 ? 0x10B : 0x20B);
    EXPECT_FALSE(plain.passes());

    image.push_back(0);
    EXPECT_TRUE(inspect(image).passes());
  }
}

TEST(ImageCheck, MeasuresTheLastSectionInTableOrder) {
  std::vector<uint8_t> image = syntheticImage(0x5000);
  // The last header now names raw data that lies before the first's.
  const uint64_t last = kFixturePeOffset + 24 + 224 + 40;
  putU32(image, last + 16, 0x100);
  putU32(image, last + 20, 0x300);
  ImageInfo info = inspect(image);
  EXPECT_EQ(info.imageEnd, 0x400u);
  EXPECT_TRUE(info.passes());
}

TEST(ImageCheck, FailsOnFilesThatAreNotImages) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    ImageStatus status;
  };
  std::vector<uint8_t> noPe = syntheticImage(0x3000);
  noPe[kFixturePeOffset] = 'N';
  std::vector<uint8_t> farPe = syntheticImage(0x3000);
  putU32(farPe, 60, 0xFFFFFFF0);
  std::vector<uint8_t> noSections = syntheticImage(0x3000);
  putU16(noSections, kFixturePeOffset + 6, 0);
  std::vector<uint8_t> sectionsOutside = syntheticImage(0x3000);
  putU16(sectionsOutside, kFixturePeOffset + 6, 0xFFFF);
  std::string text = "This is a text file, not a program.\n";
  const Case cases[] = {
      {"empty", {}, ImageStatus::CutShort},
      {"one byte", {'M'}, ImageStatus::CutShort},
      {"text", std::vector<uint8_t>(text.begin(), text.end()), ImageStatus::NoMz},
      {"ZM", {'Z', 'M', 0, 0}, ImageStatus::NoMz},
      {"MZ without PE", noPe, ImageStatus::NoPe},
      {"PE offset past the end", farPe, ImageStatus::CutShort},
      {"no sections", noSections, ImageStatus::NoSections},
      {"section table past the end", sectionsOutside, ImageStatus::CutShort},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::vector<uint8_t> bytes = test.bytes;
    bytes.resize(bytes.size() + 16, 0xAB);  // appended data does not make an image
    if (test.bytes.size() < 2) bytes = test.bytes;
    ImageInfo info = inspect(bytes);
    EXPECT_EQ(info.status, test.status);
    EXPECT_FALSE(info.passes());
  }
}

TEST(ImageCheck, EveryFileCutInsideTheHeadersFails) {
  const std::vector<uint8_t> image = syntheticImage(0x3000);
  // The check reads up to PointerToRawData of the last section header.
  const size_t headersEnd = kFixturePeOffset + 24 + 224 + 40 + 24;
  for (size_t length = 0; length < headersEnd; ++length) {
    SCOPED_TRACE(length);
    std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<ptrdiff_t>(length));
    ImageInfo info = inspect(cut);
    EXPECT_EQ(info.status, ImageStatus::CutShort);
    EXPECT_FALSE(info.passes());
  }
  std::vector<uint8_t> headersOnly(image.begin(), image.begin() + static_cast<ptrdiff_t>(headersEnd));
  EXPECT_EQ(inspect(headersOnly).status, ImageStatus::Image);
  EXPECT_FALSE(inspect(headersOnly).passes());
}

TEST(ImageCheck, SignatureAtTheEndIsTakenOff) {
  for (PeKind kind : {PeKind::Pe32, PeKind::Pe32Plus}) {
    SCOPED_TRACE(kind == PeKind::Pe32 ? "PE32" : "PE32+");
    // Signed generic image: the table follows the image directly.
    std::vector<uint8_t> plain = syntheticImage(0x3000, kind);
    appendCertificateTable(plain, kind, 0x230);
    ImageInfo unsignedInfo = inspect(plain);
    ASSERT_TRUE(unsignedInfo.certificateTable.has_value());
    EXPECT_TRUE(unsignedInfo.signatureEndsFile());
    EXPECT_EQ(unsignedInfo.effectiveEnd, 0x3000u);
    EXPECT_FALSE(unsignedInfo.passes());

    // Packed ready for signing, then signed: the trailer sits right before the table.
    std::vector<uint8_t> file = packed(kind, true);
    size_t tableStart = file.size();
    appendCertificateTable(file, kind, 0x231);
    ImageInfo info = inspect(file);
    EXPECT_TRUE(info.passes());
    EXPECT_EQ(info.effectiveEnd, tableStart);
    MemoryByteSource source(file);
    EXPECT_EQ(effectiveFileEnd(source), tableStart);
    BlockReading reading = readConfigBlock(source, info.effectiveEnd);
    EXPECT_TRUE(reading.complete);
    EXPECT_EQ(reading.blockOffset, 0x3000u);
    EXPECT_EQ(reading.content.config.title, "signed");
  }
}

TEST(ImageCheck, CertificateTableNotEndingTheFileIsIgnored) {
  std::vector<uint8_t> file = packed(PeKind::Pe32, true);
  appendCertificateTable(file, PeKind::Pe32, 0x100);
  file.push_back(0);  // something added after signing
  ImageInfo info = inspect(file);
  ASSERT_TRUE(info.certificateTable.has_value());
  EXPECT_FALSE(info.signatureEndsFile());
  EXPECT_EQ(info.effectiveEnd, file.size());

  // A directory with fewer than five entries has no security entry.
  std::vector<uint8_t> few = packed(PeKind::Pe32, true);
  appendCertificateTable(few, PeKind::Pe32, 0x100);
  putU32(few, kFixturePeOffset + 24 + 92, 4);
  EXPECT_FALSE(inspect(few).certificateTable.has_value());
  EXPECT_EQ(inspect(few).effectiveEnd, few.size());
}


// Fuzz target: a whole file as install.exe and `instcfg dump` read their own
// image: the image check, the trailer, the block reader and the dump's JSON.
// Properties: every read stays inside the file and before the end the
// reader was given; every string of the record is shorter than its field
// or reported as filling it without a NUL; counts and offsets stay within
// their bounds; a block read whole reads the same after writing it again.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_block.h"
#include "config/image_check.h"
#include "tests/fuzz/check.h"
#include "tools/config_json.h"
#include "tools/image_analysis.h"

namespace {

// The file's bytes, refusing (as a failed property) any read that reaches
// past `fence`: the reader must stop at the end it was handed.
class FencedSource final : public ByteSource {
 public:
  explicit FencedSource(std::span<const uint8_t> bytes) : memory_(bytes), fence_(bytes.size()) {}
  void fence(uint64_t end) { fence_ = end; }
  uint64_t size() override { return memory_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    size_t got = memory_.readAt(offset, buffer, count);
    FUZZ_CHECK(got == 0 || offset + got <= fence_);
    return got;
  }

 private:
  MemoryByteSource memory_;
  uint64_t fence_;
};

std::vector<const std::string*> texts(const ConfigBlockContent& content) {
  const InstallerConfig& c = content.config;
  std::vector<const std::string*> all = {&c.title,        &c.parentFolder,      &c.gameFolder, &c.registryKey,
                                         &c.menuGroup,    &c.gameLinkName,      &c.uninstallLinkName,
                                         &c.extra1File,   &c.extra1LinkName,    &c.extra2File, &c.extra2LinkName,
                                         &c.DefaultRoot,  &c.InstallPath};
  for (const ButtonLayout& b : c.buttons) {
    all.push_back(&b.caption);
    all.push_back(&b.command);
  }
  for (const std::string& e : content.extraEntries) all.push_back(&e);
  for (const std::string& e : content.preserveEntries) all.push_back(&e);
  return all;
}

void checkReading(const BlockReading& r, uint64_t fileEnd) {
  const ConfigBlockContent& content = r.content;
  const InstallerConfig& c = content.config;
  FUZZ_CHECK(r.end <= fileEnd);
  // DefaultRoot and InstallPath never come from the block.
  FUZZ_CHECK(c.DefaultRoot.empty() && c.InstallPath.empty());
  // A string holds no NUL and fits its field; one that fills it is reported.
  size_t fullFields = 0;
  for (const std::string* text : texts(content)) {
    FUZZ_CHECK(text->size() <= kConfigStringSize);
    FUZZ_CHECK(text->find('\0') == std::string::npos);
    if (text->size() == kConfigStringSize) ++fullFields;
  }
  size_t withoutNul = std::count_if(r.problems.begin(), r.problems.end(), [](const BlockProblem& p) {
    return p.kind == BlockProblem::Kind::StringWithoutNul;
  });
  FUZZ_CHECK(withoutNul == fullFields);
  FUZZ_CHECK(content.extraEntries.size() <= kConfigListLimit && content.preserveEntries.size() <= kConfigListLimit);
  // What a flag leaves out stays empty.
  if (c.extra1Flag == 0) FUZZ_CHECK(c.extra1File.empty() && c.extra1LinkName.empty());
  if (c.extra2Flag == 0) FUZZ_CHECK(c.extra2File.empty() && c.extra2LinkName.empty());
  for (int i = kExtra1ButtonIndex; i <= kExtra2ButtonIndex; ++i) {
    const ButtonLayout& b = c.buttons[i];
    if (b.visible == 0) FUZZ_CHECK(b.left == 0 && b.top == 0 && b.caption.empty() && b.command.empty());
  }
  size_t cutShort = std::count_if(r.problems.begin(), r.problems.end(), [](const BlockProblem& p) {
    return p.kind == BlockProblem::Kind::FieldCutShort;
  });
  FUZZ_CHECK(cutShort <= 1);
  if (!r.complete) return;
  FUZZ_CHECK(cutShort == 0);
  FUZZ_CHECK(r.blockOffset <= r.end && r.end - r.blockOffset >= kMinimumBlockSize);
  if (fullFields > 0) return;  // the writer refuses a text of 64 bytes
  // Written again, the block has the length read and reads the same.
  std::vector<uint8_t> again = serializeConfigBlock(content);
  FUZZ_CHECK(again.size() == r.end - r.blockOffset);
  MemoryByteSource source(again);
  BlockReading reread = readConfigBlockAt(source, 0, again.size());
  FUZZ_CHECK(reread.complete && reread.problems.empty() && reread.content == content);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  FencedSource source(bytes);

  // install.exe: the check before any window (installerImagePasses).
  ImageInfo image = inspectImage(source);
  FUZZ_CHECK(image.fileSize == size && image.effectiveEnd <= size);
  if (image.isImage()) {
    FUZZ_CHECK(image.sectionCount > 0 && image.peOffset + 2 <= size);
    if (image.signatureEndsFile()) FUZZ_CHECK(image.effectiveEnd == image.certificateTable->offset);
  }
  // The same three calls as installerImagePasses.
  std::optional<uint64_t> blockOffset;
  if (image.passes()) blockOffset = readTrailer(source, image.effectiveEnd);
  bool passes = blockOffset && blockLiesBehindImage(*blockOffset, image.imageEnd, image.effectiveEnd - kTrailerSize);

  // install.exe: ReadInstallerConfig's reading, never past the effective end.
  uint64_t end = effectiveFileEnd(source);
  FUZZ_CHECK(end == (image.isImage() ? image.effectiveEnd : size));
  source.fence(end);
  BlockReading reading = readConfigBlock(source, end);
  checkReading(reading, end);
  // A file that passes the check is read from where its trailer points.
  if (passes) FUZZ_CHECK(reading.blockOffset == *blockOffset && reading.trailerOffset + kTrailerSize == end);

  // instcfg dump and check: the same reading, then the JSON it prints, which
  // must be valid UTF-8 whatever the block holds (dump() throws otherwise).
  ImageAnalysis analysis = analyseImage(bytes);
  checkReading(analysis.reading, size);
  if (analysis.loadsWhole() && image.isImage()) FUZZ_CHECK(analysis.reading.complete);
  std::vector<std::string> notes;
  std::string json = configToJson(analysis.reading.content, notes).dump(2);
  FUZZ_CHECK(!json.empty());
  return 0;
}

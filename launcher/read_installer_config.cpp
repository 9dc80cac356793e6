#include "launcher/read_installer_config.h"

#include "app/app_context.h"
#include "config/byte_source.h"
#include "config/config_block.h"
#include "config/image_check.h"
#include "platform/platform.h"

namespace {

// A platform stream seen as random-access bytes; the size is taken once.
class StreamByteSource final : public ByteSource {
 public:
  explicit StreamByteSource(platform::Stream& stream) : stream_(stream) {
    int64_t end = stream_.seek(0, platform::SeekOrigin::End) ? stream_.tell() : -1;
    size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
  }
  uint64_t size() override { return size_; }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= size_ || !stream_.seek(static_cast<int64_t>(offset), platform::SeekOrigin::Begin)) return 0;
    return stream_.read(buffer, count);
  }

 private:
  platform::Stream& stream_;
  uint64_t size_ = 0;
};

}  // namespace

bool installerImagePasses(platform::Platform& platform, const std::string& image) {
  auto stream = platform.openStream(image, platform::OpenMode::Read);
  if (!stream) return false;
  StreamByteSource source(*stream);
  const ImageInfo info = inspectImage(source);
  if (!info.passes()) return false;
  // Something appended is not yet a block: the trailer must point behind
  // the image, as instcfg check demands.
  auto blockOffset = readTrailer(source, info.effectiveEnd);
  return blockOffset && blockLiesBehindImage(*blockOffset, info.imageEnd, info.effectiveEnd - kTrailerSize);
}

void ReadInstallerConfig(AppContext& ctx, const std::string& image) {
  auto stream = ctx.platform.openStream(image, platform::OpenMode::Read);
  if (!stream) return;
  StreamByteSource source(*stream);
  BlockReading reading = readConfigBlock(source, effectiveFileEnd(source));

  // DefaultRoot and InstallPath are not part of the block.
  InstallerConfig& config = ctx.config;
  std::string defaultRoot = std::move(config.DefaultRoot);
  std::string installPath = std::move(config.InstallPath);
  config = std::move(reading.content.config);
  config.DefaultRoot = std::move(defaultRoot);
  config.InstallPath = std::move(installPath);
  for (auto& entry : reading.content.extraEntries) ctx.plan.ExtraCopyList->add(std::move(entry));
  for (auto& entry : reading.content.preserveEntries) ctx.plan.PreserveList->add(std::move(entry));
}

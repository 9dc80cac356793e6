// The image control: reads a Windows bitmap's size from its headers through
// the platform's streams, so that AutoSize works without a window system.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "platform/platform.h"
#include "toolkit/backend.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

struct PictureSize {
  int width;
  int height;
};

uint32_t littleEndian(const unsigned char* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

// BITMAPFILEHEADER ("BM", 14 bytes) followed by a BITMAPCOREHEADER (16-bit
// width and height) or one of the larger info headers (signed 32-bit width
// and height; a negative height marks a top-down picture).
std::optional<PictureSize> readBitmapSize(platform::Stream& stream) {
  unsigned char header[26] = {};
  size_t got = stream.read(header, sizeof header);
  if (got < 22 || header[0] != 'B' || header[1] != 'M') return std::nullopt;
  uint32_t infoSize = littleEndian(header + 14, 4);
  int64_t width = 0;
  int64_t height = 0;
  if (infoSize == 12) {
    width = littleEndian(header + 18, 2);
    height = littleEndian(header + 20, 2);
  } else if (infoSize >= 16 && infoSize <= 1024 && got >= 26) {
    width = static_cast<int32_t>(littleEndian(header + 18, 4));
    height = static_cast<int32_t>(littleEndian(header + 22, 4));
  } else {
    return std::nullopt;
  }
  height = std::llabs(height);
  if (width <= 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return std::nullopt;
  return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

Image::Image(Form& form, const ControlLayout& layout) : Control(form, layout), autoSize_(layout.autoSize) {}

bool Image::loadPicture(const std::string& path) {
  std::optional<PictureSize> size;
  {
    auto stream = form().application().platform().openStream(path, platform::OpenMode::Read);
    if (!stream) return false;
    size = readBitmapSize(*stream);
  }
  if (!size) return false;
  if (peer() && !peer()->loadPicture(path)) return false;
  picturePath_ = path;
  if (autoSize_) setBounds({left(), top(), size->width, size->height});
  return true;
}

}  // namespace toolkit

#include "footprint/file_reading.h"

std::optional<std::string> readWholeFile(platform::Platform& platform, const std::string& path, size_t limit,
                                         platform::FileError* error) {
  auto stream = platform.openStream(path, platform::OpenMode::Read, error);
  if (!stream) return std::nullopt;
  if (error) *error = platform::FileError::None;
  std::string bytes;
  char buffer[65536];
  while (size_t got = stream->read(buffer, sizeof buffer)) {
    bytes.append(buffer, got);
    if (bytes.size() > limit) return std::nullopt;
  }
  if (stream->readError()) return std::nullopt;
  return bytes;
}

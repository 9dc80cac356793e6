#include "config/config_block.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

// The names of the five buttons as the publisher's configuration calls them.
constexpr const char* kButtonNames[5] = {"run", "install", "close", "extra1", "extra2"};

// Reads whole fields in order and stops for good at the first one that does
// not fit before the limit or cannot be read.
class FieldReader {
 public:
  FieldReader(ByteSource& source, uint64_t offset, uint64_t limit, BlockReading& out)
      : source_(source), position_(offset), limit_(limit), out_(out) {
    out_.end = offset;
  }

  bool stopped() const { return stopped_; }

  bool text(const std::string& field, std::string& into) {
    char buffer[kConfigStringSize];
    if (!take(field, buffer, sizeof buffer)) return false;
    const void* nul = std::memchr(buffer, 0, sizeof buffer);
    size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : sizeof buffer;
    if (length == sizeof buffer) {
      out_.problems.push_back({BlockProblem::Kind::StringWithoutNul, field, position_ - sizeof buffer, 0, 0});
    }
    into.assign(buffer, length);
    return true;
  }

  bool byte(const std::string& field, uint8_t& into) { return take(field, &into, 1); }

  bool int16(const std::string& field, int16_t& into) {
    uint8_t b[2];
    if (!take(field, b, sizeof b)) return false;
    into = static_cast<int16_t>(static_cast<uint16_t>(b[0] | b[1] << 8));
    return true;
  }

 private:
  bool take(const std::string& field, void* buffer, size_t width) {
    if (stopped_) return false;
    uint64_t available = position_ < limit_ ? limit_ - position_ : 0;
    if (available < width || source_.readAt(position_, buffer, width) != width) {
      out_.problems.push_back({BlockProblem::Kind::FieldCutShort, field, position_, width, available});
      stopped_ = true;
      return false;
    }
    position_ += width;
    out_.end = position_;
    return true;
  }

  ByteSource& source_;
  uint64_t position_;
  uint64_t limit_;
  BlockReading& out_;
  bool stopped_ = false;
};

void readList(FieldReader& in, const std::string& name, std::vector<std::string>& into) {
  uint8_t count = 0;
  if (!in.byte(name, count)) return;
  for (int i = 0; i < count; ++i) {
    std::string entry;
    if (!in.text(name + "[" + std::to_string(i) + "]", entry)) return;
    into.push_back(std::move(entry));
  }
}

void readGeometry(FieldReader& in, const std::string& prefix, ButtonLayout& button) {
  in.int16(prefix + ".left", button.left) && in.int16(prefix + ".top", button.top) &&
      in.int16(prefix + ".width", button.width) && in.int16(prefix + ".height", button.height);
}

void readExtraItem(FieldReader& in, const std::string& name, uint8_t& flag, std::string& file,
                   std::string& linkName) {
  if (in.byte(name, flag) && flag != 0) in.text(name + ".file", file) && in.text(name + ".linkName", linkName);
}

void readFields(FieldReader& in, ConfigBlockContent& content) {
  InstallerConfig& c = content.config;
  in.text("title", c.title) && in.byte("rootSelector", c.rootSelector) && in.text("parentFolder", c.parentFolder) &&
      in.text("gameFolder", c.gameFolder) && in.text("registryKey", c.registryKey);
  readList(in, "extraEntries", content.extraEntries);
  readList(in, "preserveEntries", content.preserveEntries);
  in.text("menuGroup", c.menuGroup) && in.text("gameLinkName", c.gameLinkName) &&
      in.text("uninstallLinkName", c.uninstallLinkName);
  readExtraItem(in, "extra1", c.extra1Flag, c.extra1File, c.extra1LinkName);
  readExtraItem(in, "extra2", c.extra2Flag, c.extra2File, c.extra2LinkName);
  in.int16("clientWidth", c.clientWidth) && in.int16("clientHeight", c.clientHeight) &&
      in.int16("imageLeft", c.imageLeft) && in.int16("imageTop", c.imageTop);
  for (int i = kRunButtonIndex; i <= kCloseButtonIndex; ++i) {
    readGeometry(in, std::string("buttons.") + kButtonNames[i], c.buttons[i]);
  }
  for (int i = kExtra1ButtonIndex; i <= kExtra2ButtonIndex; ++i) {
    std::string prefix = std::string("buttons.") + kButtonNames[i];
    ButtonLayout& button = c.buttons[i];
    if (!in.byte(prefix, button.visible) || button.visible == 0) continue;
    readGeometry(in, prefix, button);
    in.text(prefix + ".caption", button.caption) && in.text(prefix + ".command", button.command);
  }
}

class BlockWriter {
 public:
  void text(const std::string& field, const std::string& value) {
    if (value.size() > kConfigTextLimit) {
      throw std::invalid_argument(field + " holds " + std::to_string(value.size()) + " bytes; at most " +
                                  std::to_string(kConfigTextLimit) + " fit");
    }
    bytes_.insert(bytes_.end(), value.begin(), value.end());
    bytes_.insert(bytes_.end(), kConfigStringSize - value.size(), 0);
  }
  void byte(uint8_t value) { bytes_.push_back(value); }
  void int16(int16_t value) {
    auto u = static_cast<uint16_t>(value);
    bytes_.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(u >> 8));
  }
  void list(const std::string& field, const std::vector<std::string>& entries) {
    if (entries.size() > kConfigListLimit) {
      throw std::invalid_argument(field + " holds " + std::to_string(entries.size()) + " entries; at most " +
                                  std::to_string(kConfigListLimit) + " fit");
    }
    byte(static_cast<uint8_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) text(field + "[" + std::to_string(i) + "]", entries[i]);
  }
  void geometry(const ButtonLayout& b) {
    int16(b.left);
    int16(b.top);
    int16(b.width);
    int16(b.height);
  }
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace

BlockReading readConfigBlockAt(ByteSource& source, uint64_t offset, uint64_t limit) {
  BlockReading reading;
  reading.blockOffset = offset;
  FieldReader in(source, offset, limit, reading);
  readFields(in, reading.content);
  reading.complete = !in.stopped();
  return reading;
}

std::optional<uint64_t> readTrailer(ByteSource& source, uint64_t fileEnd) {
  if (fileEnd < kTrailerSize) return std::nullopt;
  return readU32(source, fileEnd - kTrailerSize);
}

bool blockLiesBehindImage(uint64_t blockOffset, uint64_t imageEnd, uint64_t trailerOffset) {
  return blockOffset >= imageEnd && blockOffset < trailerOffset;
}

BlockReading readConfigBlock(ByteSource& source, uint64_t fileEnd) {
  BlockReading reading;
  if (fileEnd < kTrailerSize) {
    reading.problems.push_back({BlockProblem::Kind::NoTrailer, "trailer", 0, kTrailerSize, fileEnd});
    return reading;
  }
  uint64_t trailer = fileEnd - kTrailerSize;
  auto offset = readTrailer(source, fileEnd);
  if (!offset) {
    reading.problems.push_back({BlockProblem::Kind::NoTrailer, "trailer", trailer, kTrailerSize, 0});
    return reading;
  }
  if (*offset >= fileEnd) {
    reading.trailerOffset = trailer;
    reading.blockOffset = *offset;
    reading.problems.push_back({BlockProblem::Kind::TrailerOutside, "trailer", *offset, 0, fileEnd});
    return reading;
  }
  reading = readConfigBlockAt(source, *offset, fileEnd);
  reading.trailerOffset = trailer;
  return reading;
}

std::vector<uint8_t> serializeConfigBlock(const ConfigBlockContent& content) {
  const InstallerConfig& c = content.config;
  BlockWriter out;
  out.text("title", c.title);
  out.byte(c.rootSelector);
  out.text("parentFolder", c.parentFolder);
  out.text("gameFolder", c.gameFolder);
  out.text("registryKey", c.registryKey);
  out.list("extraEntries", content.extraEntries);
  out.list("preserveEntries", content.preserveEntries);
  out.text("menuGroup", c.menuGroup);
  out.text("gameLinkName", c.gameLinkName);
  out.text("uninstallLinkName", c.uninstallLinkName);
  out.byte(c.extra1Flag);
  if (c.extra1Flag != 0) {
    out.text("extra1.file", c.extra1File);
    out.text("extra1.linkName", c.extra1LinkName);
  }
  out.byte(c.extra2Flag);
  if (c.extra2Flag != 0) {
    out.text("extra2.file", c.extra2File);
    out.text("extra2.linkName", c.extra2LinkName);
  }
  out.int16(c.clientWidth);
  out.int16(c.clientHeight);
  out.int16(c.imageLeft);
  out.int16(c.imageTop);
  for (int i = kRunButtonIndex; i <= kCloseButtonIndex; ++i) out.geometry(c.buttons[i]);
  for (int i = kExtra1ButtonIndex; i <= kExtra2ButtonIndex; ++i) {
    const ButtonLayout& button = c.buttons[i];
    out.byte(button.visible);
    if (button.visible == 0) continue;
    std::string prefix = std::string("buttons.") + kButtonNames[i];
    out.geometry(button);
    out.text(prefix + ".caption", button.caption);
    out.text(prefix + ".command", button.command);
  }
  return out.take();
}

void appendConfigBlock(std::vector<uint8_t>& image, const std::vector<uint8_t>& block, bool signReady) {
  uint64_t offset = image.size();
  if (offset > UINT32_MAX) throw std::invalid_argument("the image is larger than a 32-bit trailer can point into");
  image.insert(image.end(), block.begin(), block.end());
  if (signReady) {
    size_t length = image.size() + kTrailerSize;
    image.insert(image.end(), (kSignatureAlignment - length % kSignatureAlignment) % kSignatureAlignment, 0);
  }
  for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<uint8_t>(offset >> shift));
}

std::string formatOffset(uint64_t offset) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(offset));
  return buffer;
}

std::string describeBlockProblem(const BlockProblem& p) {
  switch (p.kind) {
    case BlockProblem::Kind::NoTrailer:
      return "the file is too short to hold the 4-byte trailer";
    case BlockProblem::Kind::TrailerOutside:
      return "the trailer points to offset " + formatOffset(p.offset) + ", outside the file (which ends at " +
             formatOffset(p.available) + ")";
    case BlockProblem::Kind::FieldCutShort:
      return p.field + " at offset " + formatOffset(p.offset) + " needs " + std::to_string(p.needed) + " bytes but only " +
             std::to_string(p.available) + " remain before the end of the file";
    case BlockProblem::Kind::StringWithoutNul:
      return p.field + " at offset " + formatOffset(p.offset) + " has no NUL in its 64 bytes; all 64 are taken as text";
  }
  return "unknown problem";
}

#pragma once
// The configuration block appended to install.exe and its 4-byte trailer:
// reading it exactly in the field order of the format, field by field and
// never past a given end, and writing it. Shared by install.exe (through
// ReadInstallerConfig) and the publisher's tool instcfg.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/byte_source.h"
#include "config/installer_config.h"

inline constexpr size_t kConfigStringSize = 64;     // text, then a NUL
inline constexpr size_t kConfigTextLimit = 63;      // bytes of text that fit with the NUL
inline constexpr size_t kConfigListLimit = 255;     // a count is one byte
inline constexpr size_t kMinimumBlockSize = 487;    // no entries, no optional bodies
inline constexpr size_t kTrailerSize = 4;
inline constexpr size_t kSignatureAlignment = 8;    // signing tools pad the file to this

// What a block holds: the configuration fields of the record (DefaultRoot
// and InstallPath are not part of the block and stay empty) and the two
// lists in file order.
struct ConfigBlockContent {
  InstallerConfig config;
  std::vector<std::string> extraEntries;
  std::vector<std::string> preserveEntries;
  bool operator==(const ConfigBlockContent&) const = default;
};

// Something the reader met. `field` names the field as the publisher's
// configuration does ("title", "extraEntries[2]", "buttons.extra1.caption").
struct BlockProblem {
  enum class Kind {
    NoTrailer,         // the file is shorter than the trailer
    TrailerOutside,    // the trailer's offset is at or past the end
    FieldCutShort,     // the field runs past the end; reading stopped before it
    StringWithoutNul,  // 64 bytes of text without a NUL, taken whole
  };
  Kind kind;
  std::string field;
  uint64_t offset = 0;     // of the field, or the trailer's value
  uint64_t needed = 0;     // FieldCutShort: the field's width
  uint64_t available = 0;  // FieldCutShort: bytes left before the end
};

struct BlockReading {
  ConfigBlockContent content;  // every field not read stays empty or zero
  uint64_t trailerOffset = 0;  // where the trailer was read
  uint64_t blockOffset = 0;    // the trailer's value
  uint64_t end = 0;            // file offset just past the last whole field read
  bool complete = false;       // every field was read
  std::vector<BlockProblem> problems;
};

// Reads the fields from `offset` on, stopping at the last whole field that
// ends at or before `limit`. A string is its bytes up to the first NUL, or
// all 64 when there is none. List entries are kept as they stand.
BlockReading readConfigBlockAt(ByteSource& source, uint64_t offset, uint64_t limit);

// The block offset that the trailer in the 4 bytes before `fileEnd` holds;
// nullopt when the file is shorter than a trailer.
std::optional<uint64_t> readTrailer(ByteSource& source, uint64_t fileEnd);
// True when a block can start at `blockOffset`: behind the image's last
// section and before the trailer at `trailerOffset`. Anywhere else means no
// block; a file signed without room for its trailer, for one, reads zero
// padding as an offset into the image.
bool blockLiesBehindImage(uint64_t blockOffset, uint64_t imageEnd, uint64_t trailerOffset);

// Takes the trailer from the 4 bytes before `fileEnd` and reads the block it
// points to, never past `fileEnd`. A trailer at or past `fileEnd` loads
// nothing.
BlockReading readConfigBlock(ByteSource& source, uint64_t fileEnd);

// The bytes of a block; strings are padded with zeros. Throws
// std::invalid_argument when a text does not fit 63 bytes or a list holds
// more than 255 entries.
std::vector<uint8_t> serializeConfigBlock(const ConfigBlockContent& content);

// Appends the block and the trailer (the block's offset) to an image. With
// `signReady`, zero bytes between the block and the trailer make the file's
// length a multiple of 8, so that a signing tool appends its table right
// behind the trailer without padding.
void appendConfigBlock(std::vector<uint8_t>& image, const std::vector<uint8_t>& block, bool signReady);

// An offset as the messages show it: "0x58000".
std::string formatOffset(uint64_t offset);

// Plain words for a problem, e.g. "extraEntries[2] at offset 0x58142 needs
// 64 bytes but only 12 remain".
std::string describeBlockProblem(const BlockProblem& problem);

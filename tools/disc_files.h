#pragma once
// The files of a disc folder that an installation of its block can copy,
// found as install.exe plans them: the standard files, the extra entries (a
// folder with everything below it but names beginning with "."), SYSTEM.DAT
// and the preserved entries. Each part of a name is found ignoring ASCII
// letter case, as Windows finds it on the disc.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_block.h"
#include "core/sha256.h"

struct DiscFile {
  std::filesystem::path path;  // on this system
  std::string name;            // relative, UTF-8, "/" between folders, spelled as the disc spells it
};

// The disc's file `utf8Name` ("/" or "\" between folders); nullopt when it
// is not there.
std::optional<DiscFile> findOnDisc(const std::filesystem::path& disc, std::string_view utf8Name);

// Every file an installation of `content` can copy from `disc`, in the
// plan's order (the members of a folder sorted by name), each once. Throws
// InstcfgError for a name install.exe could not copy: one without a
// Shift-JIS form, or with a backslash or a control character.
std::vector<DiscFile> discFiles(const std::filesystem::path& disc, const ConfigBlockContent& content);

// The SHA-256 of a file's bytes; throws InstcfgError when it cannot be read.
Sha256Digest fileDigest(Sha256Provider& sha256, const std::filesystem::path& path);

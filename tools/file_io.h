#pragma once
// Files for instcfg: whole-file reads and writes that never leave a partial
// output behind. Paths come in and go out as UTF-8.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string displayPath(const std::filesystem::path& path);

// The whole file; throws InstcfgError naming the file when it cannot be read.
std::vector<uint8_t> readFileBytes(const std::filesystem::path& path);
std::string readFileText(const std::filesystem::path& path);

// Writes a temporary file beside `path` and renames it over `path` only when
// every byte is written; on failure nothing is left and InstcfgError is thrown.
void writeFileAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

#include "tools/file_io.h"

#include <fstream>
#include <system_error>

#include "tools/instcfg_error.h"

std::filesystem::path pathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string displayPath(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::vector<uint8_t> readFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw InstcfgError("cannot open " + displayPath(path));
  std::streamoff size = in.tellg();
  if (size < 0 || !in.seekg(0)) throw InstcfgError("cannot read " + displayPath(path));
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) throw InstcfgError("cannot read " + displayPath(path));
  return bytes;
}

std::string readFileText(const std::filesystem::path& path) {
  std::vector<uint8_t> bytes = readFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void writeFileAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::path temporary = path;
  temporary += ".instcfg-partial";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw InstcfgError("cannot create " + displayPath(temporary));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw InstcfgError("cannot write " + displayPath(temporary));
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw InstcfgError("cannot write " + displayPath(path) + ": " + error.message());
  }
}

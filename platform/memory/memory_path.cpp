#include "platform/memory/memory_path.h"

#include "core/sjis.h"
#include "platform/memory/memory_text.h"

namespace platform::memory {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isValidName(std::string_view name) {
  bool valid = true;
  forEachCharacter(name, [&](size_t i, size_t width) {
    if (width != 1) return;
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::string_view("<>:\"/|?*").find(static_cast<char>(c)) != std::string_view::npos) valid = false;
  });
  return valid;
}

}  // namespace

std::string FullPath::text() const {
  std::string text{drive, ':'};
  if (parts.empty()) return text + '\\';
  for (const auto& part : parts) text.append(1, '\\').append(part);
  return text;
}

std::optional<ResolvedPath> resolvePath(std::string_view path, const FullPath& current) {
  if (path.empty()) return std::nullopt;
  ResolvedPath resolved;
  std::string_view rest = path;
  if (rest.size() >= 2 && isAsciiLetter(rest[0]) && rest[1] == ':') {
    char drive = static_cast<char>(rest[0] & ~0x20);
    rest.remove_prefix(2);
    resolved.path.drive = drive;
    if (rest.empty() || rest[0] != '\\') {
      if (drive == current.drive) resolved.path.parts = current.parts;
    }
  } else if (rest[0] == '\\') {
    if (rest.size() >= 2 && rest[1] == '\\') return std::nullopt;
    resolved.path.drive = current.drive;
  } else {
    resolved.path = current;
  }

  auto pieces = splitAtSeparators(rest);
  resolved.trailingSeparator = !rest.empty() && pieces.back().empty();
  for (const auto& piece : pieces) {
    if (piece.empty() || piece == ".") continue;
    if (piece == "..") {
      if (!resolved.path.parts.empty()) resolved.path.parts.pop_back();
      continue;
    }
    if (!isValidName(piece)) return std::nullopt;
    resolved.path.parts.push_back(piece);
  }
  return resolved;
}

}  // namespace platform::memory

#include "platform/memory/memory_path.h"

#include "core/path_names.h"
#include "core/sjis.h"
#include "platform/memory/memory_text.h"

namespace platform::memory {

namespace {

// The name Windows keeps of a piece of a path: one dot ending a folder name
// on the way is dropped, and every dot and space ending the last name.
// Neither byte is ever a trail byte.
std::string trimmedName(std::string name, bool last) {
  if (!last) {
    if (name.ends_with('.')) name.pop_back();
    return name;
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

bool isValidName(std::string_view name) {
  bool valid = true;
  forEachCharacter(name, [&](size_t i, size_t width) {
    if (width != 1) return;
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos) valid = false;
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
  if (hasDriveName(rest)) {
    char drive = static_cast<char>(rest[0] & ~0x20);
    rest.remove_prefix(2);
    resolved.path.drive = drive;
    if (rest.empty() || !isPathSeparator(rest[0])) {
      if (drive == current.drive) resolved.path.parts = current.parts;
    }
  } else if (isPathSeparator(rest[0])) {
    if (rest.size() >= 2 && isPathSeparator(rest[1])) return std::nullopt;
    resolved.path.drive = current.drive;
  } else {
    resolved.path = current;
  }

  auto pieces = splitPath(rest);
  resolved.trailingSeparator = !rest.empty() && pieces.back().empty();
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i] == ".") continue;
    if (pieces[i] == "..") {
      if (!resolved.path.parts.empty()) resolved.path.parts.pop_back();
      continue;
    }
    std::string name = trimmedName(pieces[i], i + 1 == pieces.size());
    if (name.empty()) continue;
    // "..." on the way leaves "..", which Windows then refuses as a name.
    if (name == "." || name == ".." || !isValidName(name)) return std::nullopt;
    if (i + 1 == pieces.size()) resolved.device = isDeviceName(name);
    resolved.path.parts.push_back(std::move(name));
  }
  return resolved;
}

}  // namespace platform::memory

#pragma once
// Full paths of the in-memory Windows, made the way Win32 makes them: a
// drive letter and the folder names below its root, with relative names
// taken against the current directory.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::memory {

struct FullPath {
  char drive = 'C';                // upper case
  std::vector<std::string> parts;  // names below the root, as written

  bool isRoot() const { return parts.empty(); }
  // "C:\" for a root, "C:\a\b" otherwise.
  std::string text() const;
};

struct ResolvedPath {
  FullPath path;
  bool trailingSeparator = false;  // "a\": only a folder may be meant
  bool device = false;             // the last name is a device ("aux.txt"), never a file
};

// Resolves `path` against `current`: "X:\a" is absolute, "\a" starts at the
// root of the current drive, "X:a" continues the current directory when it is
// on drive X and the root of X otherwise, anything else continues the current
// directory. "\" and "/" both separate; repeated separators collapse, "."
// and ".." resolve (".." stops at the root), a folder name on the way loses
// one ending dot and the last name every ending dot and space; a last name
// such as "CON" or "aux.txt" names a device (`device`). nullopt for
// an empty path, a UNC path or a name holding a character Windows refuses
// (< > : " | ? * and control bytes).
std::optional<ResolvedPath> resolvePath(std::string_view path, const FullPath& current);

}  // namespace platform::memory

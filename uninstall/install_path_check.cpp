#include "uninstall/install_path_check.h"

#include <string_view>

#include "core/sjis.h"

bool isRemovableInstallPath(const std::string& installPath) {
  // Judged as Windows will read it: on bytes that are well-formed code page
  // 932, the characters seen here are those the conversion to UTF-16 makes,
  // and a separator is one there too. A lead byte before a byte that cannot
  // follow it would hide a separator from this scan but not from Windows.
  if (!IsWellFormedSjis(installPath)) return false;
  if (installPath.size() < 4 || !hasDriveName(installPath) ||
      !isPathSeparator(installPath[2])) {
    return false;
  }
  bool folderNamed = false;
  bool sound = true;
  forEachPathComponent(std::string_view(installPath).substr(3), [&](std::string_view component) {
    if (component.empty()) return;  // repeated separators collapse
    if (isOnlyDotsAndSpaces(component)) sound = false;
    folderNamed = true;
  });
  return folderNamed && sound;
}

#include "uninstall/install_path_check.h"

#include <algorithm>
#include <string_view>

#include "core/sjis.h"

namespace {

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Windows strips trailing dots and spaces from a path component, so a
// component made of them alone names the folder it stands in, or the one
// above it.
bool namesNoFolder(std::string_view component) {
  return component.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

bool isRemovableInstallPath(const std::string& installPath) {
  // Judged as Windows will read it: on bytes that are well-formed code page
  // 932, the characters seen here are those the conversion to UTF-16 makes,
  // and a separator is one there too. A lead byte before a byte that cannot
  // follow it would hide a separator from this scan but not from Windows.
  if (!IsWellFormedSjis(installPath)) return false;
  if (installPath.size() < 4 || !isDriveLetter(installPath[0]) || installPath[1] != ':' ||
      (installPath[2] != '\\' && installPath[2] != '/')) {
    return false;
  }
  std::string_view below = std::string_view(installPath).substr(3);
  bool folderNamed = false;
  bool sound = true;
  // Splits at "/", which Windows takes for a separator too and which is
  // never a trail byte.
  auto checkComponents = [&](std::string_view text) {
    for (size_t start = 0; start <= text.size();) {
      size_t end = std::min(text.find('/', start), text.size());
      std::string_view component = text.substr(start, end - start);
      start = end + 1;
      if (component.empty()) continue;  // repeated separators collapse
      if (namesNoFolder(component)) sound = false;
      folderNamed = true;
    }
  };
  size_t start = 0;
  forEachSeparator(below, 0, [&](size_t at) {
    checkComponents(below.substr(start, at - start));
    start = at + 1;
  });
  checkComponents(below.substr(start));
  return folderNamed && sound;
}

#include "uninstall/install_path_check.h"

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
  if (installPath.size() < 4 || !isDriveLetter(installPath[0]) || installPath[1] != ':' || installPath[2] != '\\') {
    return false;
  }
  std::string_view below = std::string_view(installPath).substr(3);
  bool folderNamed = false;
  bool sound = true;
  size_t start = 0;
  auto component = [&](size_t end) {
    std::string_view name = below.substr(start, end - start);
    start = end + 1;
    if (name.empty()) return;  // repeated separators collapse
    if (namesNoFolder(name)) sound = false;
    folderNamed = true;
  };
  forEachSeparator(below, 0, component);
  component(below.size());
  return folderNamed && sound;
}

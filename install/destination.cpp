#include "install/destination.h"

#include "core/sjis.h"
#include "texts.h"

namespace {

// MAX_PATH, terminator included, and the 8.3 name CreateDirectory keeps
// room for: a folder takes at most 247 characters, a file 259.
constexpr size_t kMaxPathCharacters = 260;
constexpr size_t kShortNameCharacters = 12;
constexpr size_t kMaxFolderCharacters = kMaxPathCharacters - kShortNameCharacters - 1;
constexpr size_t kMaxFileCharacters = kMaxPathCharacters - 1;

size_t characterCount(const std::string& text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1) ++count;
  return count;
}

bool endsWithSeparator(const std::string& text) {
  bool ends = false;
  forEachSeparator(text, 0, [&](size_t at) { ends = at + 1 == text.size(); });
  return ends;
}

bool isFolder(platform::Platform& platform, const std::string& path) {
  return platform::isFolderAttributes(platform.fileAttributes(path));
}

}  // namespace

std::string composeInstallPath(const std::string& destination, const std::string& gameFolder) {
  if (endsWithSeparator(destination)) return destination + gameFolder;
  return joinPath(destination, gameFolder);
}

bool installPathFits(const std::string& installPath) {
  return characterCount(installPath) + 1 + kShortNameCharacters < kMaxPathCharacters;
}

bool planFits(const std::string& installPath, const std::vector<std::string>& plan) {
  // InstallPath is the longest folder of its own chain.
  if (characterCount(installPath) > kMaxFolderCharacters) return false;
  for (const std::string& entry : plan) {
    const std::string destination = joinPath(installPath, entry);
    if (characterCount(destination) > kMaxFileCharacters) return false;
    // The entry's deepest folder is the longest one it makes.
    size_t deepest = 0;
    forEachSeparator(entry, 0, [&](size_t at) { deepest = at; });
    if (deepest > 0 && characterCount(destination.substr(0, installPath.size() + 1 + deepest)) > kMaxFolderCharacters) {
      return false;
    }
  }
  return true;
}

std::string confirmationText(const std::string& destination, const std::string& gameFolder) {
  return destination + texts::kConfirmAt + gameFolder + texts::kConfirmCreateFolder + texts::kConfirmInstall;
}

std::vector<std::string> browseSeeds(platform::Platform& platform, const std::string& destination) {
  if (destination.size() < 2 || destination[1] != ':') return {};
  if (isFolder(platform, destination)) return {destination};
  std::vector<std::string> seeds;
  forEachSeparator(destination, 0, [&](size_t at) {
    std::string prefix = destination.substr(0, at);
    if (isFolder(platform, prefix)) seeds.push_back(std::move(prefix));
  });
  return seeds;
}

#include "footprint/install_path_check.h"

#include <optional>
#include <string_view>
#include <vector>

#include "core/path_names.h"
#include "core/sjis.h"

namespace {

// The names of a path between separators (repeated separators collapse);
// nullopt when one of them does not name what it spells.
std::optional<std::vector<std::string_view>> soundNames(std::string_view path) {
  std::vector<std::string_view> names = pathNames(path);
  for (std::string_view name : names) {
    if (componentProblem(name) != NameProblem::None) return std::nullopt;
  }
  return names;
}

}  // namespace

bool isRemovableInstallPath(const std::string& installPath, const std::string& gameFolder, CaseFolding& folding) {
  // Judged as Windows will read it: on bytes that are well-formed code page
  // 932, the characters seen here are those the conversion to UTF-16 makes,
  // and a separator is one there too.
  if (!IsWellFormedSjis(installPath) || !IsWellFormedSjis(gameFolder)) return false;
  if (installPath.size() < 4 || !hasDriveName(installPath) || !isPathSeparator(installPath[2])) return false;
  auto folders = soundNames(std::string_view(installPath).substr(3));
  auto game = soundNames(gameFolder);
  if (!folders || !game || game->empty() || folders->size() < game->size()) return false;
  // The folder ends in the game's own name: a PATH of "C:\Users\name" or of
  // another title's folder is never emptied for this one.
  const size_t offset = folders->size() - game->size();
  for (size_t i = 0; i < game->size(); ++i) {
    if (folding.caseFoldKey(std::string((*folders)[offset + i])) != folding.caseFoldKey(std::string((*game)[i]))) {
      return false;
    }
  }
  return true;
}

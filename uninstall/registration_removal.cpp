#include "uninstall/registration_removal.h"

#include <optional>
#include <string>

#include "core/sjis.h"
#include "footprint/names.h"
#include "footprint/safe_removal.h"

namespace {

using platform::Hive;

// The index of the first separator of `text` at or after `start`.
std::optional<size_t> firstSeparator(const std::string& text, size_t start) {
  std::optional<size_t> found;
  forEachSeparator(text, start, [&](size_t at) {
    if (!found) found = at;
  });
  return found;
}

void removeFirstLevelKeyIfEmpty(platform::Platform& platform, const std::string& firstLevel) {
  if (firstLevel.empty()) return;
  std::string path = softwareKeyPath(firstLevel);
  std::optional<uint32_t> subkeys;
  if (auto key = platform.openKey(Hive::CurrentUser, path)) subkeys = key->subkeyCount();
  if (subkeys == 0u) platform.deleteKey(Hive::CurrentUser, path);
}

}  // namespace

void RemoveRegistration(AppContext& ctx) {
  platform::Platform& platform = ctx.platform;
  const std::string& registryKey = ctx.config.registryKey;
  // The game's key goes last: while PATH stands, a removal ended part-way
  // is found and finished by the next one.
  RemoveShortcuts(ctx);
  if (registryKey.empty()) return;
  platform.deleteKey(Hive::CurrentUser, uninstallEntryKeyPath(registryKey));
  platform.deleteKey(Hive::CurrentUser, softwareKeyPath(registryKey));
  if (auto separator = firstSeparator(registryKey, 0)) {
    removeFirstLevelKeyIfEmpty(platform, registryKey.substr(0, *separator));
  }
}

void RemoveShortcuts(AppContext& ctx) {
  const InstallerConfig& config = ctx.config;
  if (config.menuGroup.empty()) return;
  platform::Platform& platform = ctx.platform;
  auto programs = readProgramsFolder(platform);
  if (!programs) return;

  std::string group = joinPath(*programs, config.menuGroup);
  removeFile(platform, linkFilePath(group, config.gameLinkName));
  removeFile(platform, linkFilePath(group, config.uninstallLinkName));
  if (config.extra1Flag != 0) removeFile(platform, linkFilePath(group, config.extra1LinkName));
  if (config.extra2Flag != 0) removeFile(platform, linkFilePath(group, config.extra2LinkName));

  // The walk starts at the separator joining P and menuGroup, so P is the
  // last folder tried and nothing above it is looked at.
  const size_t joining = programs->size();
  removeEmptyFolder(platform, group);
  while (auto separator = lastSeparator(group, joining)) {
    group.resize(*separator);
    removeEmptyFolder(platform, group);
  }
}

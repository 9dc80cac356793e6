#include "footprint/names.h"

#include "core/sjis.h"

namespace {

constexpr char kShellFoldersKey[] = "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kProgramsValue[] = "Programs";
constexpr char kUninstallEntriesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace

std::string softwareKeyPath(const std::string& name) { return "software\\" + name; }

std::optional<std::string> readProgramsFolder(platform::Platform& platform) {
  auto key = platform.openKey(platform::Hive::CurrentUser, kShellFoldersKey);
  if (!key) return std::nullopt;
  return key->queryString(kProgramsValue);
}

std::string linkFilePath(const std::string& folder, const std::string& linkName) {
  return joinPath(folder, linkName) + ".lnk";
}

std::string uninstallEntryKeyPath(const std::string& registryKey) {
  std::string id = registryKey;
  // A trail byte 0x5C is part of its character, never a separator.
  forEachSeparator(id, 0, [&](size_t at) { id[at] = '_'; });
  return joinPath(kUninstallEntriesKey, id);
}

#include "install/registration.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/path_names.h"
#include "core/sjis.h"
#include "footprint/game_files.h"

using platform::Hive;

bool CreateShortcut(platform::Platform& platform, const std::string& linkFile, const std::string& target,
                    const std::string& arguments, const std::string& workingDirectory, platform::FileError* error) {
  return platform.writeShellLink(linkFile, {target, arguments, workingDirectory, platform::kSwShowNormal}, error);
}

namespace {

// YYYYMMDD, as the list of installed apps reads InstallDate.
std::string compactDate(platform::LocalDate date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace

void registerUninstallEntry(AppContext& ctx) {
  const InstallerConfig& config = ctx.config;
  // Only an installation that put our uninstaller into its folder is listed:
  // the entry starts it.
  if (ctx.plan.CopyPlan->indexOf(kUninstallerProgram) == -1) return;
  auto key = ctx.platform.createKey(Hive::CurrentUser, uninstallEntryKeyPath(config.registryKey));
  if (!key) return;
  // Appended rather than added to a temporary: GCC 12 warns falsely there.
  std::string uninstaller = "\"";
  uninstaller += joinPath(config.InstallPath, kUninstallerProgram);
  uninstaller += '"';
  const uint64_t kibibytes = (ctx.copy.TotalBytes + 1023) / 1024;
  key->setString("DisplayName", config.title);
  key->setString("UninstallString", uninstaller);
  key->setString("QuietUninstallString", uninstaller + " /S");
  key->setString("InstallLocation", config.InstallPath);
  key->setString("DisplayIcon", joinPath(config.InstallPath, kGameProgram));
  key->setString("Publisher", config.parentFolder);
  key->setDword("EstimatedSize", static_cast<uint32_t>(std::min<uint64_t>(kibibytes, UINT32_MAX)));
  key->setString("InstallDate", compactDate(ctx.platform.localDate()));
  key->setDword("NoModify", 1);
  key->setDword("NoRepair", 1);
}

void RegisterInstall(AppContext& ctx) {
  auto& platform = ctx.platform;
  const InstallerConfig& config = ctx.config;
  const std::string& installPath = config.InstallPath;

  if (auto key = platform.createKey(Hive::CurrentUser, softwareKeyPath(config.registryKey))) {
    key->setString(kInstallPathValue, installPath);
  }
  registerUninstallEntry(ctx);

  if (config.menuGroup.empty()) return;
  auto programs = readProgramsFolder(platform);
  if (!programs) return;

  // The Programs folder exists; the levels of menuGroup below it are made
  // one at a time, each failing quietly when it exists.
  const std::string group = joinPath(*programs, config.menuGroup);
  forEachSeparator(group, programs->size() + 1,
                   [&](size_t at) { platform.createDirectory(group.substr(0, at)); });
  platform.createDirectory(group);

  // A shortcut that cannot be written is logged; the installation stands.
  auto shortcut = [&](const std::string& linkName, const std::string& target, const std::string& arguments) {
    const std::string linkFile = linkFilePath(group, linkName);
    platform::FileError error = platform::FileError::None;
    if (!CreateShortcut(platform, linkFile, target, arguments, installPath, &error)) {
      ctx.log("failed: the shortcut " + linkFile + " was not written (" + platform::fileErrorText(error) + ")");
    }
  };
  if (!config.gameLinkName.empty()) shortcut(config.gameLinkName, joinPath(installPath, kGameProgram), kLaunchArgument);
  if (!config.uninstallLinkName.empty()) shortcut(config.uninstallLinkName, joinPath(installPath, kUninstallerProgram), "");
  // The extra shortcuts follow their flag alone; an empty link name gives ".lnk".
  if (config.extra1Flag != 0) shortcut(config.extra1LinkName, joinPath(installPath, withBackslashes(config.extra1File)), "");
  if (config.extra2Flag != 0) shortcut(config.extra2LinkName, joinPath(installPath, withBackslashes(config.extra2File)), "");
}

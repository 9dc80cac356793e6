#include "installed/installed_state.h"

#include "core/path_names.h"
#include "core/sjis.h"
#include "installed/game_files.h"
#include "installed/names.h"

bool detectInstalledGame(AppContext& ctx) {
  platform::Platform& platform = ctx.platform;
  InstallerConfig& config = ctx.config;
  auto key = platform.openKey(platform::Hive::CurrentUser, softwareKeyPath(config.registryKey));
  if (!key) return false;
  auto path = key->queryString(kInstallPathValue);
  key.reset();
  if (!path || path->empty()) return false;
  // "/" separates as "\" does; the program's own scans look for "\".
  config.InstallPath = withBackslashes(*path);
  // The only existence test: the game's program opens for reading.
  return platform.openStream(joinPath(config.InstallPath, kGameProgram), platform::OpenMode::Read) != nullptr;
}

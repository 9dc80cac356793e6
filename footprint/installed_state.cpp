#include "footprint/installed_state.h"

#include "core/path_names.h"
#include "core/sjis.h"
#include "footprint/game_files.h"
#include "footprint/names.h"

namespace {

constexpr char kRemovingFiles[] = "files";
constexpr char kRemovingFolders[] = "folders";

RemovalStage stageOf(platform::RegistryKey& key) {
  auto stage = key.queryString(kRemovalValue);
  if (!stage) return RemovalStage::None;
  return *stage == kRemovingFolders ? RemovalStage::Folders : RemovalStage::Files;
}

}  // namespace

bool detectInstalledGame(AppContext& ctx) {
  platform::Platform& platform = ctx.platform;
  InstallerConfig& config = ctx.config;
  auto key = platform.openKey(platform::Hive::CurrentUser, softwareKeyPath(config.registryKey));
  if (!key) return false;
  auto path = key->queryString(kInstallPathValue);
  if (!path || path->empty()) return false;
  const bool removing = stageOf(*key) != RemovalStage::None;
  key.reset();
  // "/" separates as "\" does; the program's own scans look for "\".
  config.InstallPath = withBackslashes(*path);
  // The only existence test: the game's program opens for reading.
  return removing ||
         platform.openStream(joinPath(config.InstallPath, kGameProgram), platform::OpenMode::Read) != nullptr;
}

RemovalStage removalStage(platform::Platform& platform, const std::string& registryKey) {
  auto key = platform.openKey(platform::Hive::CurrentUser, softwareKeyPath(registryKey));
  return key ? stageOf(*key) : RemovalStage::None;
}

bool markRemoval(platform::Platform& platform, const std::string& registryKey, RemovalStage stage) {
  auto key = platform.createKey(platform::Hive::CurrentUser, softwareKeyPath(registryKey));
  const char* data = stage == RemovalStage::Folders ? kRemovingFolders : kRemovingFiles;
  const bool marked = key && key->setString(kRemovalValue, data);
  key.reset();
  return marked && platform.flushRegistry(platform::Hive::CurrentUser);
}

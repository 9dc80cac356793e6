#include "install/destination.h"

#include "core/path_names.h"
#include "core/sjis.h"
#include "footprint/install_path_check.h"
#include "footprint/safe_removal.h"
#include "texts.h"

namespace {

// MAX_PATH, terminator included, and the 8.3 name CreateDirectory keeps
// room for: a folder takes at most 247 characters, a file 259.
constexpr size_t kMaxPathCharacters = 260;
constexpr size_t kShortNameCharacters = 12;
constexpr size_t kMaxFolderCharacters = kMaxPathCharacters - kShortNameCharacters - 1;
constexpr size_t kMaxFileCharacters = kMaxPathCharacters - 1;

bool endsWithSeparator(const std::string& text) {
  bool ends = false;
  forEachSeparator(text, 0, [&](size_t at) { ends = at + 1 == text.size(); });
  return ends;
}

bool isFolder(platform::Platform& platform, const std::string& path) {
  return platform::isFolderAttributes(platform.fileAttributes(path));
}

}  // namespace

namespace {

constexpr char kSetupKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr char kBootDirValue[] = "BootDir";
constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProgramFilesDirValue[] = "ProgramFilesDir";

}  // namespace

void lookUpDefaultRoot(AppContext& ctx) {
  InstallerConfig& config = ctx.config;
  config.DefaultRoot.clear();
  const bool bootDir = config.rootSelector == 0;
  auto key = ctx.platform.openKey(platform::Hive::LocalMachine, bootDir ? kSetupKey : kCurrentVersionKey);
  if (!key) return;
  if (auto root = key->queryString(bootDir ? kBootDirValue : kProgramFilesDirValue)) config.DefaultRoot = *root;
}

std::string proposedDestination(const InstallerConfig& config) {
  if (config.parentFolder.empty()) return config.DefaultRoot;
  return joinPath(config.DefaultRoot, config.parentFolder);
}

std::string composeInstallPath(const std::string& destination, const std::string& gameFolder) {
  if (endsWithSeparator(destination)) return destination + gameFolder;
  return joinPath(destination, gameFolder);
}

namespace {

DestinationProblem nameProblem(std::string_view name) {
  if (name == "." || name == "..") return DestinationProblem::DotFolder;
  switch (componentProblem(name)) {
    case NameProblem::None:
    case NameProblem::Empty:
      return DestinationProblem::None;
    case NameProblem::DotsOrSpacesOnly:
      return DestinationProblem::DotFolder;
    case NameProblem::EndsWithDotOrSpace:
      return DestinationProblem::NameEnding;
    case NameProblem::DeviceName:
      return DestinationProblem::DeviceName;
    case NameProblem::RefusedCharacter:
    case NameProblem::ControlCharacter:
    case NameProblem::MalformedSjis:
      return DestinationProblem::UnusableCharacter;
  }
  return DestinationProblem::UnusableCharacter;
}

// Appends the names of `path` to `folder` ("X:" and its names), one "\"
// before each; the first problem of a name, if any.
DestinationProblem appendNames(std::string& folder, std::string_view path) {
  DestinationProblem problem = DestinationProblem::None;
  forEachPathComponent(path, [&](std::string_view name) {
    if (name.empty() || problem != DestinationProblem::None) return;
    problem = nameProblem(name);
    folder.append(1, '\\').append(name);
  });
  return problem;
}

}  // namespace

Destination checkDestination(platform::Platform& platform, const std::string& typed, const std::string& gameFolder) {
  Destination result;
  auto refuse = [&](DestinationProblem problem) {
    result.problem = problem;
    return result;
  };
  if (!hasDriveName(typed)) return refuse(DestinationProblem::NoDriveName);
  if (!IsWellFormedSjis(typed)) return refuse(DestinationProblem::UnusableCharacter);
  std::string folder = typed.substr(0, 2);
  const std::string_view rest = std::string_view(typed).substr(2);
  if (rest.empty() || !isPathSeparator(rest[0])) {
    // "C:games" continues the folder the system keeps for drive C.
    const std::string base = platform.currentFolderOfDrive(typed[0]);
    if (!hasDriveName(base)) return refuse(DestinationProblem::NoDriveName);
    if (auto problem = appendNames(folder, std::string_view(base).substr(2)); problem != DestinationProblem::None) {
      return refuse(problem);
    }
  }
  if (auto problem = appendNames(folder, rest); problem != DestinationProblem::None) return refuse(problem);
  if (folder.size() == 2) folder += '\\';  // the drive root
  result.folder = folder;
  result.installPath = composeInstallPath(folder, gameFolder);
  if (!installPathFits(result.installPath)) return refuse(DestinationProblem::TooLong);
  if (!isRemovableInstallPath(result.installPath, gameFolder, platform)) return refuse(DestinationProblem::NotRemovable);
  if (isLink(platform, result.installPath)) return refuse(DestinationProblem::Linked);
  return result;
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
    const size_t deepest = lastSeparator(entry, 0).value_or(0);
    if (deepest > 0 && characterCount(destination.substr(0, installPath.size() + 1 + deepest)) > kMaxFolderCharacters) {
      return false;
    }
  }
  return true;
}

std::string destinationRefusalText(const Destination& destination) {
  switch (destination.problem) {
    case DestinationProblem::None: break;
    case DestinationProblem::NoDriveName: return texts::kNeedDriveName;
    case DestinationProblem::DotFolder: return texts::kDestinationDotFolder;
    case DestinationProblem::NameEnding: return texts::kDestinationNameEnding;
    case DestinationProblem::DeviceName: return texts::kDestinationDeviceName;
    case DestinationProblem::UnusableCharacter: return texts::kUnusableDestination;
    case DestinationProblem::TooLong: return texts::kPathTooLong;
    case DestinationProblem::NotRemovable: return texts::kDestinationUnsafe;
    case DestinationProblem::Linked: return std::string(texts::kLinkedInstallFolder) + "\n" + destination.installPath;
  }
  return {};
}

std::string confirmationText(const std::string& destination, const std::string& gameFolder) {
  return destination + texts::kConfirmAt + gameFolder + texts::kConfirmCreateFolder + texts::kConfirmInstall;
}

std::vector<std::string> browseSeeds(platform::Platform& platform, const std::string& destination) {
  if (destination.size() < 2 || destination[1] != ':') return {};
  if (isFolder(platform, destination)) return {destination};
  std::vector<std::string> seeds;
  size_t end = 0;
  forEachPathComponent(destination, [&](std::string_view name) {
    // The piece before the first separator is the drive ("D:"), then each
    // folder in turn; the last piece is the whole text, tried above.
    end += name.size();
    if (end < destination.size()) {
      std::string prefix = destination.substr(0, end);
      if (isFolder(platform, prefix)) seeds.push_back(std::move(prefix));
    }
    ++end;
  });
  return seeds;
}

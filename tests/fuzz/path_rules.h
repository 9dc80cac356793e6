#pragma once
// The path and name rules the paths target checks, each named once here so
// that the target follows them when they change: the removal guard, the
// destination dialog's check and the block's name rules.

#include <optional>
#include <string>

#include "core/sjis.h"
#include "install/destination.h"
#include "tools/entry_rules.h"
#include "uninstall/install_path_check.h"

namespace fuzz {

// The guard in front of every removal, for an InstallPath meant to end in
// the game folder.
inline bool guardAccepts(const std::string& installPath, const std::string& /*gameFolder*/) {
  return isRemovableInstallPath(installPath);
}
// Whether the guard demands that InstallPath's last part is the game folder.
inline constexpr bool kGuardChecksGameFolder = false;  // today's guard takes no game folder

// The destination dialog's checks on a typed destination, in the order of
// Tinstform::Button2Click: the InstallPath it goes on with, or nullopt when
// it refuses. The text is the Shift-JIS form of what was typed.
inline std::optional<std::string> acceptedInstallPath(const std::string& destination, const std::string& gameFolder) {
  if (!hasDriveName(destination)) return std::nullopt;
  std::string installPath = composeInstallPath(destination, gameFolder);
  if (!installPathFits(installPath)) return std::nullopt;
  return installPath;
}
// Whether every InstallPath the destination check accepts is removable.
inline constexpr bool kDestinationAppliesGuard = false;  // the destination check does not yet apply the guard's rule

// The block's name rules: nullopt when the name is accepted.
inline std::optional<std::string> placedNameFault(const std::string& name) { return placedNameProblem(name); }
inline std::optional<std::string> relativeNameFault(const std::string& name) { return relativeNameProblem(name); }
inline std::optional<std::string> linkNameFault(const std::string& name) { return linkNameProblem(name); }

}  // namespace fuzz

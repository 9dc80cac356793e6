#pragma once
// The path and name rules the paths target checks, each named once here so
// that the target follows them when they change: the removal guard, the
// destination dialog's check and the block's name rules.

#include <optional>
#include <string>

#include "config/name_rules.h"
#include "core/sjis.h"
#include "footprint/install_path_check.h"
#include "install/destination.h"
#include "platform/memory/memory_platform.h"

namespace fuzz {

// The machine the checks ask: drive C with its root as current directory,
// letters folded as Windows folds them.
inline platform::MemoryPlatform& machine() {
  static platform::MemoryPlatform memory;
  return memory;
}

// The guard in front of every removal, for an InstallPath meant to end in
// the game folder.
inline bool guardAccepts(const std::string& installPath, const std::string& gameFolder) {
  return isRemovableInstallPath(installPath, gameFolder, machine());
}

// The destination dialog's check of a typed destination: the InstallPath it
// goes on with, or nullopt when it refuses. The text is the Shift-JIS form
// of what was typed.
inline std::optional<std::string> acceptedInstallPath(const std::string& destination, const std::string& gameFolder) {
  const Destination checked = checkDestination(machine(), destination, gameFolder);
  if (checked.problem != DestinationProblem::None) return std::nullopt;
  return checked.installPath;
}

// The block's name rules: nullopt when the name is accepted.
inline std::optional<std::string> placedNameFault(const std::string& name) { return placedNameProblem(name); }
inline std::optional<std::string> linkNameFault(const std::string& name) { return linkNameProblem(name); }

}  // namespace fuzz

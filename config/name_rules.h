#pragma once
// The rules for the names a configuration block gives install.exe, which it
// joins to folders and keys: the game folder, the list entries and the extra
// items' files below the destination, the Start-menu group and link names
// below the Programs folder, and the registry key. A name that breaks them
// would not stay where install.exe puts it, or would mean something else
// there, and uninstalling could then remove what the game never installed.
// install.exe refuses to install or uninstall with such a block; instcfg
// refuses to pack it and reports it in check.

#include <optional>
#include <string>
#include <vector>

#include "config/game_folder_names.h"
#include "config/installer_config.h"

// One broken rule: the block's field ("gameFolder", "extraEntries[2]",
// "extra1.file") and why, in English for the publisher's tool.
struct NameFinding {
  std::string field;
  std::string reason;
  bool operator==(const NameFinding&) const = default;
};

// Why a relative name placed below a folder is unsafe, or nullopt: empty,
// absolute, with a drive, climbing out with "..", or with a part that the
// usual path rules change (only dots and spaces, ending in a dot or space,
// a device name), a character Windows refuses, a control character, or
// text that is not well-formed Shift-JIS. "\" and "/" both separate.
std::optional<std::string> placedNameProblem(const std::string& sjis);

// The same for a group or link name below the Programs folder, which may be
// empty but must not start or end with a separator.
std::optional<std::string> linkNameProblem(const std::string& sjis);

// Every finding of the block's names, in the order of the format; empty when
// they are all sound. The game folder and the registry key must not be
// empty; the extra items count only when their flag is set.
std::vector<NameFinding> blockNameFindings(const InstallerConfig& config, const std::vector<std::string>& extraEntries,
                                           const std::vector<std::string>& preserveEntries);

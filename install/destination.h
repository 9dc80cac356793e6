#pragma once
// The rules of the destination dialog, apart from its controls: what counts
// as a destination, how InstallPath is composed and confirmed, and where
// the browse dialog opens.

#include <string>
#include <vector>

#include "app/app_context.h"
#include "platform/platform.h"

// Fills DefaultRoot from the machine registry: BootDir (rootSelector 0) or
// ProgramFilesDir; empty when the key or the value is missing.
void lookUpDefaultRoot(AppContext& ctx);
// The destination the dialog proposes: DefaultRoot, then "\" and
// parentFolder when it is not empty, appended whatever DefaultRoot ends with
// (a root of "C:\" gives "C:\\x").
std::string proposedDestination(const InstallerConfig& config);

// InstallPath: "%s\%s" of the destination and the game folder, without a
// second separator when the destination already ends in one (a drive root).
std::string composeInstallPath(const std::string& destination, const std::string& gameFolder);

// Why a typed destination is refused, in the order the checks run.
enum class DestinationProblem {
  None,
  NoDriveName,         // no drive letter and ":" first
  DotFolder,           // a folder "." or "..", or made only of dots and spaces
  NameEnding,          // a folder name ending in a dot or a space
  DeviceName,          // a folder named as a device ("CON", "aux.txt")
  UnusableCharacter,   // a character Windows refuses in names
  TooLong,             // InstallPath leaves no room for the game's files
  NotRemovable,        // the uninstaller's guard would refuse InstallPath
  Linked,              // InstallPath is a junction or symbolic link
};

struct Destination {
  DestinationProblem problem = DestinationProblem::None;
  std::string folder;       // the destination made absolute, as confirmed
  std::string installPath;  // folder and gameFolder
};

// Checks a destination as typed (Shift-JIS with an exact form) and makes it
// absolute: "/" separates as "\" does, repeated separators collapse, and a
// drive-relative text ("C:games") continues the drive's current folder.
// Names that Windows' path rules would change are refused rather than
// changed, so that InstallPath is the folder the player confirmed and the
// uninstaller's guard accepts it.
Destination checkDestination(platform::Platform& platform, const std::string& typed, const std::string& gameFolder);
// What the destination dialog tells the player for a refused destination
// (under "インストール先の確認"): the reason, and for a link the folder.
std::string destinationRefusalText(const Destination& destination);
// True when every file the installation may place directly in installPath
// (a separator and a 12-character name) stays within the 260 characters,
// terminator included, that the file system accepts. A double-byte
// character counts as one.
bool installPathFits(const std::string& installPath);
// True when the planned installation stays within the lengths Windows
// accepts: every destination "%s\%s" of installPath and a plan entry within
// 259 characters, and every folder it creates (installPath's chain and the
// folders inside the plan) within 247. A double-byte character counts as one.
bool planFits(const std::string& installPath, const std::vector<std::string>& plan);
// The text of the confirmation box: the destination as typed, "に", a line
// break, the game folder, "フォルダを作成して", a line break, "インストールします".
std::string confirmationText(const std::string& destination, const std::string& gameFolder);
// The folders to set the browse list to, in turn, for a typed destination:
// the whole text when it is a folder, otherwise each existing folder before
// a separator ("\" or "/"), outermost first (the last one is the deepest).
// Empty when the text does not begin with a drive name.
std::vector<std::string> browseSeeds(platform::Platform& platform, const std::string& destination);

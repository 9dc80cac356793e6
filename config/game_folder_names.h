#pragma once
// The files install.exe keeps in the game folder beside the game's own: the
// uninstaller, which instcfg pack writes beside install.exe and which is
// copied with the game, and the record of what the installation made. The
// block's name rules keep list entries off the record's names.

// The name under which the packed image runs as the uninstaller that needs
// no disc.
inline constexpr char kUninstallerProgram[] = "uninst.exe";

// The install record (footprint/install_record.h), and the name it is
// written under before it is renamed into place.
inline constexpr char kInstallRecordFile[] = "uninst-record.txt";
inline constexpr char kInstallRecordTemporaryFile[] = "uninst-record.txt.new";

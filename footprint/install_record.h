#pragma once
// The record of what an installation made, a file in InstallPath, so that
// the uninstaller started without the disc removes exactly that and spares
// the save data and whatever the game wrote into its own folders.
//
// The file is text a person can read: UTF-8 with a byte-order mark (Notepad
// then shows the Japanese names on any Windows), lines ending in CR LF:
//
//   install record 2
//   folder<TAB>data
//   folder<TAB>data\bgm
//   file<TAB>SYSTEM.INI<TAB>9f86d081884c7d65...  (64 lowercase hex digits)
//   file<TAB>data\bgm\theme.ogg<TAB>...
//
// Names are relative to InstallPath; a file's SHA-256 digest, as it was
// copied, follows its name, so that its installed bytes can be checked
// without the disc (/VERIFY). A file may have none (the system could not
// compute it), and a record of an earlier build ("install record 1") has
// none at all: it still reads, without digests. A record is only believed
// whole: any other first line, any other kind of line, a digest that is not
// 64 hex digits, or a name that is not a sound relative name inside the
// folder (config/name_rules) makes it unusable.

#include <optional>
#include <string>

#include "app/app_context.h"

// Its name in InstallPath is kInstallRecordFile (config/game_folder_names.h).

// The text of a record; nullopt when a name has no UTF-8 form (no name that
// was installed lacks one).
std::optional<std::string> formatInstallRecord(const InstallRecord& record);
// The record a text holds; nullopt for a damaged or foreign one.
std::optional<InstallRecord> parseInstallRecord(const std::string& text);

// Records the installation that has just copied its last file: the CopyPlan
// entries copied whatever stood there (not the preserved ones) with the
// digests they were copied with, and the plan's folders below InstallPath. Written under a temporary name, put on
// the disk and only then renamed into place, so that a crash never leaves a
// half-written record. False, with the cause in `error` when asked, when it
// could not be written; the game is installed all the same, and only
// delete-all is then offered without the disc.
bool writeInstallRecord(AppContext& ctx, platform::FileError* error = nullptr);
// The record in `installPath`; nullopt when there is none or it is unusable.
std::optional<InstallRecord> readInstallRecord(platform::Platform& platform, const std::string& installPath);
// Deletes the record, and the temporary one a crash may have left, from the
// held game folder.
void removeInstallRecord(platform::RemovalEntry& installFolder);

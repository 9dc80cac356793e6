#pragma once
// Removal that works on what it opened: every file and folder is opened for
// removal (platform::RemovalEntry) without following a reparse point, its
// attributes are read on the open entry, and it is removed through it. A
// folder below is reached from the open folder above by its exact name, so
// no swap of a folder for a junction and no Win32 path rule ("aux.txt",
// "save.") leads the removal anywhere else; a removal of the game folder
// holds that folder from its first file to its own removal, so no link
// above it re-pointed meanwhile leads there either. Shared by the rollback,
// both uninstall modes (DeleteTreeContents builds on it) and the removal of
// the Start-menu links and folders.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

// What a removal should have removed and did not: the first such path, to
// tell the player.
struct RemovalReport {
  std::optional<std::string> firstLeft;
  // Told each file removed, for the log of a run started with /LOG=.
  std::function<void(const std::string&)> onRemoved;
  void left(const std::string& path) {
    if (!firstLeft) firstLeft = path;
  }
  void removed(const std::string& path) {
    if (onRemoved) onRemoved(path);
  }
  bool complete() const { return !firstLeft; }
};

// The running uninstaller, which a removal passes over: known by its file
// identity, whatever name or path reaches it (a short 8.3 name, a
// substituted drive, a junction). nullopt for none.
using SparedFile = std::optional<platform::FileIdentity>;

// What a removal of one file came to.
enum class FileRemoval { Removed, Absent, Left, Spared };

// Deletes the file `relative` (a plan entry; "\" or "/" separate) below the
// held folder `root`, going down through the folders on the way without
// following a link. Left when it is still there, or stands behind a link
// (never deleted); Spared, untouched, when it is the file `spared`.
FileRemoval removeFileBelow(platform::RemovalEntry& root, const std::string& relative,
                            const SparedFile& spared = std::nullopt);

// Deletes the file at the absolute `path`; true when it is gone or was never
// there. A folder is left alone (and counts as still there), and so is any
// other file than `only` when it is given.
bool removeFile(platform::Platform& platform, const std::string& path, const SparedFile& only = std::nullopt);

// Removes the folder at the absolute `path` when it is empty, and never a
// junction or symbolic link: Windows would remove the link even while its
// target holds files, and an ancestor of the game folder may be the user's
// link to another drive. Nothing is reported: a folder still in use by the
// game's files, or by the user, stays.
void removeEmptyFolder(platform::Platform& platform, const std::string& path);

// The same for the folder `relative` below the held folder `root`, reached
// as removeFileBelow reaches a file.
void removeEmptyFolderBelow(platform::RemovalEntry& root, const std::string& relative);
// The same for a held folder itself; the entry is closed.
void removeEmptyFolder(std::unique_ptr<platform::RemovalEntry> folder);

// True for the attributes of a junction or symbolic link (a reparse point).
bool isLinkAttributes(uint32_t attributes);
// True when the entry at `path` is a link itself; a link on the way to it is
// followed, as the usual path rules do.
bool isLink(platform::Platform& platform, const std::string& path);

#pragma once
// Files and folders reached from a folder the program holds open, never by
// a path looked up again: NtCreateFile with the held folder as its root
// directory, so that no Win32 path rule applies to the name and no rename
// or re-pointed link above the folder changes what is opened. Shared by the
// entries opened for removal and the copy's destination files.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

// How NtCreateFile is asked to open one name of a held folder; the name
// itself is never followed when it is a reparse point.
struct OpenInFolder {
  ACCESS_MASK access;
  ULONG share;
  ULONG disposition;  // FILE_OPEN, FILE_CREATE, FILE_OPEN_IF
  ULONG options;      // FILE_DIRECTORY_FILE or FILE_NON_DIRECTORY_FILE, ...
};

// Opens `name` (one name, no separator) of the folder that `folder` holds.
// Invalid, with the cause in `error`, when it cannot be opened; `created`
// tells whether the open made it.
UniqueFileHandle openInFolder(HANDLE folder, std::wstring_view name, const OpenInFolder& how, FileError* error,
                              bool* created = nullptr);

// A folder held for reaching what it holds: listing, opening and creating
// names in it (no delete access: the copy's folders).
inline constexpr OpenInFolder kHeldFolder{FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0, 0};

// "\\?\X:\a\b" for the absolute "X:\a\b" ("/" separates too): taken as it
// is by the system, so it must hold no "." or ".." part (nullopt then, and
// for a path that is not absolute).
std::optional<std::wstring> literalPath(const std::string& path);

// The path the system gives the open file now ("X:\..." with every link on
// the way resolved, or "\\?\UNC\..."); empty when it cannot be told.
std::wstring finalPathOf(HANDLE handle);

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& information);

// True when the two paths name the same text, letter case ignored as the
// file system ignores it.
bool samePathText(const std::wstring& a, const std::wstring& b);

// The folder `relative` leads to below the held folder `root` whose final
// path is `rootPath`, every folder on the way opened from the one above
// without following a link, and each checked to be a plain folder (not a
// reparse point); the last one must have the final path the names spell (a
// link on the way that the file system follows regardless, as Wine follows
// a symbolic link of Linux, shows there). The last name of `relative` is
// not opened but returned in `leaf`, with the path it must have in
// `leafPath`. Invalid, with the cause, when the way is broken.
UniqueFileHandle openFoldersBelow(HANDLE root, const std::wstring& rootPath, std::wstring_view relative,
                                  std::wstring& leaf, std::wstring& leafPath, FileError* error);

// The root of a copy or creation below it: the folder at `path`, itself not
// a link. Invalid, with the cause, otherwise.
UniqueFileHandle openRootFolder(const std::string& path, std::wstring& finalPath, FileError* error);

}  // namespace platform::win32

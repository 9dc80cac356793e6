#pragma once
// The switches of install.exe and uninst.exe, for scripts: taken in any
// letter case, after "/" or "-". Without any, nothing changes.
//
//   install.exe /S [/D=<folder>] [/LOG=<file>]       install without a window
//   install.exe /S /UNINSTALL [/ALL] [/LOG=<file>]   uninstall without a window
//   uninst.exe  /S [/ALL] [/LOG=<file>]
//   either      /VERIFY [/S] [/LOG=<file>]           the installed files against the record
//   install.exe /REPAIR [/S] [/LOG=<file>]           the missing and damaged ones copied again
//   either      /LOG=<file>                          the windows, and a log
//   either      /?                                   the usage in a message box

#include <optional>
#include <string>
#include <vector>

struct CommandLine {
  bool silent = false;     // /S: no window and no message box at all
  bool uninstall = false;  // /UNINSTALL (implied for uninst.exe)
  bool deleteAll = false;  // /ALL: delete all rather than keep the save data
  bool usage = false;      // /?
  bool verify = false;     // /VERIFY: a message box, or with /S the exit code alone
  bool repair = false;     // /REPAIR (install.exe: the disc is needed)
  std::optional<std::string> destination;  // /D=: the folder as a player would type it
  std::optional<std::string> logFile;      // /LOG=
};

struct ParsedCommandLine {
  CommandLine line;
  std::optional<std::string> error;  // why the command line is refused (English)
};

// The arguments (Shift-JIS, the program's name not among them) as
// install.exe or, with `asUninstaller`, uninst.exe takes them. Refused: an
// argument that is no switch, an unknown or repeated one, /D= or /LOG=
// without a value and other switches with one, and switches that do not go
// together (/D= or /UNINSTALL without /S, /D= with /UNINSTALL, /ALL without
// /S /UNINSTALL; for uninst.exe, /D= and /ALL without /S; /VERIFY or /REPAIR
// with each other, /UNINSTALL, /ALL or /D=; /REPAIR for uninst.exe). /? wins
// over the rest.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments, bool asUninstaller);

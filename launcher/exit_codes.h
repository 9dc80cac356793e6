#pragma once
// What the program's exit code tells a script that started it (README,
// "Exit codes"). The disc's menu keeps the design's codes: 0 when it closes,
// -1 when its image carries no block.

#include <string>

enum ExitCode : int {
  kExitDone = 0,             // the installation or removal is complete
  kExitCancelled = 1,        // the player cancelled
  kExitBadCommandLine = 2,
  kExitRefused = 3,          // a destination or a removal refused (the reasons the dialogs give)
  kExitNotEnoughSpace = 4,
  kExitReadFailed = 5,       // a file or folder of the medium could not be read
  kExitWriteFailed = 6,      // the destination could not be written, or a removal left files
  kExitInstalledState = 7,   // already installed (installing) or not installed (uninstalling, verifying)
  kExitDamaged = 8,          // /VERIFY, /REPAIR: a file of the installation is missing or damaged
};

// The log's last line. Built by appending: GCC 12 warns, falsely, on a
// literal added to a temporary string (-Wrestrict).
inline std::string exitCodeLine(int code) {
  std::string line = "exit code ";
  line += std::to_string(code);
  return line;
}

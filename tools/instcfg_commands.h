#pragma once
// The commands of instcfg, callable from tests. Each writes its results to
// `out`, its messages to `err`, and returns the process exit code: 0 for
// success, 1 for a refusal or a failed check.

#include <filesystem>
#include <iosfwd>

struct PackOptions {
  std::filesystem::path image;
  std::filesystem::path config;
  std::filesystem::path output;
  bool signReady = false;  // pad so that the file's length is a multiple of 8
  bool replace = false;    // cut off whatever follows the image first
  bool uninstaller = true;  // also write uninst.exe beside the output
};

// Appends the block made from the JSON configuration to a copy of the image,
// and writes the same bytes as uninst.exe beside it unless told not to.
// Writes nothing unless everything is valid.
int packCommand(const PackOptions& options, std::ostream& out, std::ostream& err);
// Prints the block as JSON on `out` and what stopped the reading on `err`.
int dumpCommand(const std::filesystem::path& exe, std::ostream& out, std::ostream& err);
// Runs install.exe's image check and bounds checks, and pack's rules on the
// block's content, and reports in words, each finding on its own line.
int checkCommand(const std::filesystem::path& exe, std::ostream& out, std::ostream& err);
// Prints a complete sample configuration.
int initCommand(std::ostream& out);

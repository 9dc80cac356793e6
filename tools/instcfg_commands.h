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
  bool digest = false;     // then write install.sha256 for the output's folder
};

// Appends the block made from the JSON configuration to a copy of the image,
// and writes the same bytes as uninst.exe beside it unless told not to; with
// `digest`, then install.sha256 for the folder they are in (digestCommand).
// Writes nothing unless everything is valid.
int packCommand(const PackOptions& options, std::ostream& out, std::ostream& err);
// Prints the block as JSON on `out` and what stopped the reading on `err`.
int dumpCommand(const std::filesystem::path& exe, std::ostream& out, std::ostream& err);
// Runs install.exe's image check and bounds checks, and pack's rules on the
// block's content, and reports in words, each finding on its own line. For
// a disc folder: its install.exe, then its install.sha256 against the files
// an installation copies: files missing from the list, listed files missing
// from the disc, and files whose bytes differ.
int checkCommand(const std::filesystem::path& exeOrDisc, std::ostream& out, std::ostream& err);
// Writes install.sha256 into the disc folder: one line for each file an
// installation of its install.exe's block can copy (config/digest_list.h).
int digestCommand(const std::filesystem::path& disc, std::ostream& out, std::ostream& err);
// Prints a complete sample configuration.
int initCommand(std::ostream& out);

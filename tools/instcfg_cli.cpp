#include "tools/instcfg_cli.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "tools/file_io.h"
#include "tools/instcfg_commands.h"

int runInstcfg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"instcfg: writes and inspects the configuration block appended to install.exe"};
  app.require_subcommand(1);
  // A path starting with "/" is a path, not a Windows-style option.
  app.allow_windows_style_options(false);

  std::string image, config, output, exe;
  PackOptions pack;
  auto* packCmd = app.add_subcommand("pack", "Append the block made from CONFIG.json to a copy of IMAGE");
  packCmd->add_option("IMAGE", image, "The generic install.exe, with nothing appended")->required();
  packCmd->add_option("CONFIG", config, "The configuration, JSON (see `instcfg init`)")->required();
  packCmd->add_option("-o,--output", output, "The packed install.exe to write")->required();
  packCmd->add_flag("--sign-ready", pack.signReady,
                    "Pad so that the file's length is a multiple of 8, for signing after packing");
  packCmd->add_flag("--replace", pack.replace, "Cut off a block the image already carries, then pack");
  bool noUninstaller = false;
  packCmd->add_flag("--no-uninstaller", noUninstaller,
                    "Do not write uninst.exe beside the output (for a disc with an uninstaller of its own)");
  packCmd->add_flag("--digest", pack.digest,
                    "Then write install.sha256 for the output's folder, as `digest` does (the disc's files in place)");

  auto* dumpCmd = app.add_subcommand("dump", "Print the block of EXE as JSON");
  dumpCmd->add_option("EXE", exe, "A packed install.exe")->required();
  auto* checkCmd = app.add_subcommand(
      "check", "Check EXE as install.exe checks itself and its block; for a disc folder, also its install.sha256");
  checkCmd->add_option("EXE_OR_DISC", exe, "A packed install.exe, or the folder of a disc")->required();
  std::string disc;
  auto* digestCmd = app.add_subcommand(
      "digest", "Write DISC/install.sha256: the digest of every file an installation of DISC/install.exe can copy");
  digestCmd->add_option("DISC", disc, "The folder of the disc, install.exe in its root")->required();
  app.add_subcommand("init", "Print a complete sample configuration");

  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  if (!reversed.empty()) reversed.pop_back();
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err);
  }

  if (packCmd->parsed()) {
    pack.image = pathFromUtf8(image);
    pack.config = pathFromUtf8(config);
    pack.output = pathFromUtf8(output);
    pack.uninstaller = !noUninstaller;
    return packCommand(pack, out, err);
  }
  if (dumpCmd->parsed()) return dumpCommand(pathFromUtf8(exe), out, err);
  if (checkCmd->parsed()) return checkCommand(pathFromUtf8(exe), out, err);
  if (digestCmd->parsed()) return digestCommand(pathFromUtf8(disc), out, err);
  return initCommand(out);
}

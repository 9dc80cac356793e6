#include "launcher/command_line.h"

#include <string_view>

#include "core/sjis.h"

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments, bool asUninstaller) {
  ParsedCommandLine parsed;
  CommandLine& line = parsed.line;
  auto refuse = [&](std::string why) {
    if (!parsed.error) parsed.error = std::move(why);
  };
  bool sawDestination = false, sawUninstall = false;
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
      refuse("not a switch: " + argument);
      continue;
    }
    const std::string_view body = std::string_view(argument).substr(1);
    const size_t equals = body.find('=');
    const std::string_view name = body.substr(0, equals);
    const bool hasValue = equals != std::string_view::npos;
    const std::string value = hasValue ? std::string(body.substr(equals + 1)) : std::string();
    // The switch as written, with its "/"; appended, since GCC 12 warns
    // falsely on a literal added to a temporary string (-Wrestrict).
    std::string shown = "/";
    shown.append(name);
    auto flag = [&](bool& target) {
      if (hasValue) return refuse(shown + " takes no value");
      if (target) return refuse("given twice: " + argument);
      target = true;
    };
    auto text = [&](std::optional<std::string>& target) {
      if (!hasValue || value.empty()) return refuse(shown + "= needs a value");
      if (target) return refuse("given twice: " + argument);
      target = value;
    };
    if (equalsIgnoringAsciiCase(name, "S")) {
      flag(line.silent);
    } else if (equalsIgnoringAsciiCase(name, "UNINSTALL")) {
      flag(line.uninstall);
      sawUninstall = true;
    } else if (equalsIgnoringAsciiCase(name, "ALL")) {
      flag(line.deleteAll);
    } else if (equalsIgnoringAsciiCase(name, "VERIFY")) {
      flag(line.verify);
    } else if (equalsIgnoringAsciiCase(name, "REPAIR")) {
      flag(line.repair);
    } else if (equalsIgnoringAsciiCase(name, "?")) {
      flag(line.usage);
    } else if (equalsIgnoringAsciiCase(name, "D")) {
      text(line.destination);
      sawDestination = true;
    } else if (equalsIgnoringAsciiCase(name, "LOG")) {
      text(line.logFile);
    } else {
      refuse("unknown switch: " + argument);
    }
  }
  if (asUninstaller) line.uninstall = true;
  if (line.usage) {
    parsed.error.reset();
    return parsed;
  }
  if (line.repair && asUninstaller) refuse("/REPAIR needs the disc: install.exe /REPAIR");
  if (line.verify && line.repair) refuse("/VERIFY and /REPAIR do not go together");
  if ((line.verify || line.repair) && (sawUninstall || sawDestination || line.deleteAll)) {
    refuse(std::string(line.verify ? "/VERIFY" : "/REPAIR") + " goes with /S and /LOG= alone");
  }
  if (sawDestination && (asUninstaller || line.uninstall)) refuse("/D= is for installing");
  if (sawDestination && !line.silent) refuse("/D= goes with /S");
  if (sawUninstall && !asUninstaller && !line.silent) refuse("/UNINSTALL goes with /S");
  if (line.deleteAll && (!line.silent || !line.uninstall)) {
    refuse(asUninstaller ? "/ALL goes with /S" : "/ALL goes with /S /UNINSTALL");
  }
  return parsed;
}

#include "config/name_rules.h"

#include <string_view>

#include "core/path_names.h"
#include "core/sjis.h"

namespace {

// The first character Windows refuses, stepping over two-byte characters
// (whose trail byte may be 0x7C, the byte of "|").
char refusedCharacter(std::string_view name) {
  for (size_t i = 0; i < name.size(); i += IsLeadByte(name[i]) ? 2 : 1) {
    if (kRefusedCharacters.find(name[i]) != std::string_view::npos) return name[i];
  }
  return '?';
}

std::optional<std::string> partsProblem(std::string_view name) {
  if (!IsWellFormedSjis(name)) return "is not well-formed Shift-JIS (a lead byte without its trail byte)";
  std::optional<std::string> problem;
  forEachPathComponent(name, [&](std::string_view part) {
    if (problem) return;
    const std::string quoted = "(\"" + std::string(part) + "\")";
    if (part == "..") {
      problem = "climbs out of the folder with \"..\"";
      return;
    }
    switch (componentProblem(part)) {
      case NameProblem::None:
      case NameProblem::Empty:  // repeated separators collapse
      case NameProblem::MalformedSjis:  // told above
        return;
      case NameProblem::DotsOrSpacesOnly:
        problem = "has a part made only of dots and spaces " + quoted + ", which Windows folds into the folder above it";
        return;
      case NameProblem::EndsWithDotOrSpace:
        problem = "has a part ending in a dot or a space " + quoted + ", which Windows drops";
        return;
      case NameProblem::DeviceName:
        problem = "has a part that names a device " + quoted + ", not a file";
        return;
      case NameProblem::RefusedCharacter:
        problem = "holds \"" + std::string(1, refusedCharacter(part)) + "\", which Windows refuses in names";
        return;
      case NameProblem::ControlCharacter:
        problem = "holds a control character, which Windows refuses in names";
        return;
    }
  });
  return problem;
}

// Whether a list entry would be installed as the install record itself.
std::optional<std::string> recordNameProblem(const std::string& entry) {
  const std::vector<std::string_view> names = pathNames(entry);
  if (names.empty()) return std::nullopt;
  if (equalsIgnoringAsciiCase(names.front(), kInstallRecordFile) ||
      equalsIgnoringAsciiCase(names.front(), kInstallRecordTemporaryFile)) {
    return "is the name of the install record that install.exe keeps in the game folder";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> placedNameProblem(const std::string& sjis) {
  if (sjis.empty()) return "is empty";
  if (isPathSeparator(sjis[0])) return "is absolute (starts with a separator)";
  if (hasDriveName(sjis)) return "carries a drive";
  return partsProblem(sjis);
}

std::optional<std::string> linkNameProblem(const std::string& sjis) {
  if (sjis.empty()) return std::nullopt;
  // The last byte is a separator only when it is no trail byte.
  bool endsWithSeparator = false;
  for (size_t i = 0; i < sjis.size(); i += IsLeadByte(sjis[i]) ? 2 : 1) endsWithSeparator = isPathSeparator(sjis[i]);
  if (isPathSeparator(sjis.front()) || endsWithSeparator) return "starts or ends with a separator";
  return partsProblem(sjis);
}

std::vector<NameFinding> blockNameFindings(const InstallerConfig& c, const std::vector<std::string>& extraEntries,
                                           const std::vector<std::string>& preserveEntries) {
  std::vector<NameFinding> findings;
  auto check = [&](const std::string& field, const std::optional<std::string>& problem) {
    if (problem) findings.push_back({field, *problem});
  };
  if (!c.parentFolder.empty()) check("parentFolder", placedNameProblem(c.parentFolder));
  if (c.gameFolder.empty()) {
    findings.push_back({"gameFolder",
                        "is empty; the game would be installed into the chosen folder itself, which uninstalling would "
                        "then empty"});
  } else {
    check("gameFolder", placedNameProblem(c.gameFolder));
  }
  if (c.registryKey.empty()) {
    findings.push_back({"registryKey", "is empty; uninstalling would remove the whole \"software\" key of the user"});
  } else if (!IsWellFormedSjis(c.registryKey)) {
    findings.push_back({"registryKey", "is not well-formed Shift-JIS (a lead byte without its trail byte)"});
  }
  auto entries = [&](const std::string& name, const std::vector<std::string>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string field = name + "[" + std::to_string(i) + "]";
      if (auto problem = placedNameProblem(list[i])) {
        findings.push_back({field, *problem});
      } else {
        check(field, recordNameProblem(list[i]));
      }
    }
  };
  entries("extraEntries", extraEntries);
  entries("preserveEntries", preserveEntries);
  check("menuGroup", linkNameProblem(c.menuGroup));
  check("gameLinkName", linkNameProblem(c.gameLinkName));
  check("uninstallLinkName", linkNameProblem(c.uninstallLinkName));
  auto item = [&](const std::string& name, uint8_t flag, const std::string& file, const std::string& link) {
    if (flag == 0) return;
    check(name + ".file", placedNameProblem(file));
    check(name + ".linkName", linkNameProblem(link));
  };
  item("extra1", c.extra1Flag, c.extra1File, c.extra1LinkName);
  item("extra2", c.extra2Flag, c.extra2File, c.extra2LinkName);
  return findings;
}

#include "tools/content_rules.h"

#include <optional>

#include "tools/entry_rules.h"

std::vector<std::string> contentProblems(const ConfigBlockContent& content) {
  const InstallerConfig& c = content.config;
  std::vector<std::string> problems;
  auto check = [&](const std::string& field, const std::optional<std::string>& problem) {
    if (problem) problems.push_back(field + ": " + *problem);
  };
  if (c.gameFolder.empty()) {
    problems.push_back("gameFolder: is empty; the game would be installed into the chosen folder itself, which "
                       "uninstalling would then empty");
  } else {
    check("gameFolder", placedNameProblem(c.gameFolder));
  }
  if (c.registryKey.empty()) {
    problems.push_back("registryKey: is empty; uninstalling would remove the whole \"software\" key of the user");
  }
  auto entries = [&](const std::string& name, const std::vector<std::string>& list) {
    for (size_t i = 0; i < list.size(); ++i) check(name + "[" + std::to_string(i) + "]", placedNameProblem(list[i]));
  };
  entries("extraEntries", content.extraEntries);
  entries("preserveEntries", content.preserveEntries);
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
  auto button = [&](const std::string& name, const ButtonLayout& layout, uint8_t flag) {
    if (layout.visible != 0 && flag == 0) {
      problems.push_back("buttons." + name + ": is shown but " + name + " is null; the button would open nothing");
    }
  };
  button("extra1", c.buttons[kExtra1ButtonIndex], c.extra1Flag);
  button("extra2", c.buttons[kExtra2ButtonIndex], c.extra2Flag);
  return problems;
}

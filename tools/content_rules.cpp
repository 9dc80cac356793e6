#include "tools/content_rules.h"

#include "config/name_rules.h"

std::vector<std::string> contentProblems(const ConfigBlockContent& content) {
  const InstallerConfig& c = content.config;
  std::vector<std::string> problems;
  for (const NameFinding& finding : blockNameFindings(c, content.extraEntries, content.preserveEntries)) {
    problems.push_back(finding.field + ": " + finding.reason);
  }
  auto button = [&](const std::string& name, const ButtonLayout& layout, uint8_t flag) {
    if (layout.visible != 0 && flag == 0) {
      problems.push_back("buttons." + name + ": is shown but " + name + " is null; the button would open nothing");
    }
  };
  button("extra1", c.buttons[kExtra1ButtonIndex], c.extra1Flag);
  button("extra2", c.buttons[kExtra2ButtonIndex], c.extra2Flag);
  return problems;
}

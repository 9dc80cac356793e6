#include "tools/entry_rules.h"

#include <string_view>
#include <vector>

#include "core/sjis.h"

namespace {

std::vector<std::string_view> components(std::string_view name) {
  std::vector<std::string_view> parts;
  forEachPathComponent(name, [&](std::string_view part) { parts.push_back(part); });
  return parts;
}

// The first character Windows refuses in a name, stepping over two-byte
// characters (whose trail byte may be 0x7C, the byte of "|").
std::optional<char> refusedCharacter(std::string_view name) {
  for (size_t i = 0; i < name.size(); i += IsLeadByte(name[i]) ? 2 : 1) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::string_view(":*?\"<>|").find(name[i]) != std::string_view::npos) return name[i];
  }
  return std::nullopt;
}

std::optional<std::string> partsProblem(std::string_view name) {
  for (std::string_view part : components(name)) {
    if (part == "..") return "climbs out of the folder with \"..\"";
    if (isOnlyDotsAndSpaces(part)) {
      return "has a part made only of dots and spaces (\"" + std::string(part) +
             "\"), which Windows folds into the folder above it";
    }
  }
  if (auto refused = refusedCharacter(name)) {
    if (static_cast<unsigned char>(*refused) < 0x20) return "holds a control character, which Windows refuses in names";
    return "holds \"" + std::string(1, *refused) + "\", which Windows refuses in names";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> relativeNameProblem(const std::string& sjis) {
  if (sjis.empty()) return "is empty";
  if (isPathSeparator(sjis[0])) return "is absolute (starts with a separator)";
  if (hasDriveName(sjis)) return "carries a drive";
  for (std::string_view part : components(sjis)) {
    if (part == "..") return "climbs out of the folder with \"..\"";
  }
  return std::nullopt;
}

std::optional<std::string> placedNameProblem(const std::string& sjis) {
  if (auto problem = relativeNameProblem(sjis)) return problem;
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

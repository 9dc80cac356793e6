#include "tools/entry_rules.h"

#include <string_view>
#include <vector>

#include "core/sjis.h"

namespace {

// The components between separators. "\" is found with the Shift-JIS scan;
// "/" (0x2F) is never a trail byte, so a plain search finds it safely.
std::vector<std::string_view> components(std::string_view name) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  auto split = [&](std::string_view piece) {
    size_t from = 0;
    for (size_t slash = piece.find('/'); slash != std::string_view::npos; slash = piece.find('/', from)) {
      parts.push_back(piece.substr(from, slash - from));
      from = slash + 1;
    }
    parts.push_back(piece.substr(from));
  };
  forEachSeparator(name, 0, [&](size_t i) {
    split(name.substr(start, i - start));
    start = i + 1;
  });
  split(name.substr(start));
  return parts;
}

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::optional<std::string> relativeNameProblem(const std::string& sjis) {
  if (sjis.empty()) return "is empty";
  if (sjis[0] == '\\' || sjis[0] == '/') return "is absolute (starts with a separator)";
  if (sjis.size() >= 2 && isAsciiLetter(sjis[0]) && sjis[1] == ':') return "carries a drive";
  for (std::string_view part : components(sjis)) {
    if (part == "..") return "climbs out of the folder with \"..\"";
  }
  return std::nullopt;
}

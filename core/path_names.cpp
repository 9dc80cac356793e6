#include "core/path_names.h"

#include <array>

#include "core/sjis.h"

bool isDeviceName(std::string_view component) {
  // Windows looks at the name before its first dot, spaces at its end dropped.
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view name : kNames) {
    if (equalsIgnoringAsciiCase(base, name)) return true;
  }
  if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
    return equalsIgnoringAsciiCase(base.substr(0, 3), "COM") || equalsIgnoringAsciiCase(base.substr(0, 3), "LPT");
  }
  return false;
}

NameProblem componentProblem(std::string_view component) {
  if (component.empty()) return NameProblem::Empty;
  if (isOnlyDotsAndSpaces(component)) return NameProblem::DotsOrSpacesOnly;
  // Neither byte is ever the trail byte of a two-byte character.
  if (component.back() == '.' || component.back() == ' ') return NameProblem::EndsWithDotOrSpace;
  if (isDeviceName(component)) return NameProblem::DeviceName;
  for (size_t i = 0; i < component.size(); ++i) {
    if (IsLeadByte(component[i])) {
      if (i + 1 >= component.size() || !IsTrailByte(component[i + 1])) return NameProblem::MalformedSjis;
      ++i;  // a trail byte may be 0x7C, the byte of "|"
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(component[i]);
    if (c < 0x20) return NameProblem::ControlCharacter;
    if (kRefusedCharacters.find(component[i]) != std::string_view::npos) return NameProblem::RefusedCharacter;
  }
  return NameProblem::None;
}

std::string withBackslashes(std::string_view path) {
  std::string converted(path);
  for (char& c : converted) {
    if (c == '/') c = '\\';
  }
  return converted;
}

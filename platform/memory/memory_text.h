#pragma once
// Shift-JIS text rules of the in-memory Windows: names compare ignoring
// letter case as NTFS and CompareStringW do (ASCII, full-width Latin, Greek
// and Cyrillic letters), both "\" and "/" separate, and a trail byte is
// never folded alone or taken for a separator.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/sjis.h"

namespace platform::memory {

// Calls visit(index, width) for each character: width 2 for a lead byte and
// its trail byte, 1 for a single byte (a lead byte cut off at the end too).
template <class Visit>
void forEachCharacter(std::string_view text, Visit&& visit) {
  for (size_t i = 0; i < text.size();) {
    size_t width = IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
    visit(i, width);
    i += width;
  }
}

// The text with its small letters made capitals, every other character as
// it was; the length never changes.
std::string foldCase(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// The pieces between the separators "\" of a registry key, empty ones
// included: "a\\b\" gives a, "", b, "".
std::vector<std::string> splitAtSeparators(std::string_view text);
// The same for a file path, where "/" separates as "\" does.
std::vector<std::string> splitPath(std::string_view text);

}  // namespace platform::memory

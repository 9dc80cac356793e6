#include "platform/memory/memory_text.h"

namespace platform::memory {

namespace {
char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string foldAsciiCase(std::string_view text) {
  std::string folded(text);
  forEachCharacter(text, [&](size_t i, size_t width) {
    if (width == 1) folded[i] = upperAscii(folded[i]);
  });
  return folded;
}

bool equalsAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Folding never makes or unmakes a lead byte, so the characters of `a`
  // line up with those of `b` wherever the two are equal so far.
  bool equal = true;
  forEachCharacter(a, [&](size_t i, size_t width) {
    if (!equal) return;
    equal = width == 1 ? upperAscii(a[i]) == upperAscii(b[i]) : a.substr(i, 2) == b.substr(i, 2);
  });
  return equal;
}

size_t characterCount(std::string_view text) {
  size_t count = 0;
  forEachCharacter(text, [&](size_t, size_t) { ++count; });
  return count;
}

std::vector<std::string> splitAtSeparators(std::string_view text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  forEachSeparator(text, 0, [&](size_t at) {
    pieces.emplace_back(text.substr(start, at - start));
    start = at + 1;
  });
  pieces.emplace_back(text.substr(start));
  return pieces;
}

}  // namespace platform::memory

#include "platform/memory/memory_text.h"

namespace platform::memory {

namespace {

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The trail byte of the capital of a two-byte small letter; the lead byte
// stays. Code page 932 keeps full-width Latin (row 0x82), Greek (0x83) and
// Cyrillic (0x84, whose small letters skip the trail byte 0x7F) in runs.
unsigned char upperTrail(unsigned char lead, unsigned char trail) {
  if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) return trail - 0x21;  // ａ-ｚ
  if (lead == 0x83 && trail >= 0xBF && trail <= 0xD6) return trail - 0x20;  // α-ω
  if (lead == 0x84 && trail >= 0x70 && trail <= 0x7E) return trail - 0x30;  // а-н
  if (lead == 0x84 && trail >= 0x80 && trail <= 0x91) return trail - 0x31;  // о-я
  return trail;
}

}  // namespace

std::string foldCase(std::string_view text) {
  std::string folded(text);
  forEachCharacter(text, [&](size_t i, size_t width) {
    if (width == 1) {
      folded[i] = upperAscii(folded[i]);
    } else {
      folded[i + 1] = static_cast<char>(
          upperTrail(static_cast<unsigned char>(folded[i]), static_cast<unsigned char>(folded[i + 1])));
    }
  });
  return folded;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  // Folding keeps every lead byte where it was, so equal folds mean the
  // characters line up.
  return a.size() == b.size() && foldCase(a) == foldCase(b);
}

namespace {

std::vector<std::string> split(std::string_view text, bool slashSeparates) {
  std::vector<std::string> pieces;
  size_t start = 0;
  forEachCharacter(text, [&](size_t i, size_t width) {
    if (width != 1 || (text[i] != '\\' && !(slashSeparates && text[i] == '/'))) return;
    pieces.emplace_back(text.substr(start, i - start));
    start = i + 1;
  });
  pieces.emplace_back(text.substr(start));
  return pieces;
}

}  // namespace

std::vector<std::string> splitAtSeparators(std::string_view text) { return split(text, false); }

std::vector<std::string> splitPath(std::string_view text) { return split(text, true); }

}  // namespace platform::memory

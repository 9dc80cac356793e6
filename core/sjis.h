#pragma once
// Shift-JIS helpers. Every scan of a path or key for the separator "\"
// (0x5C) goes through forEachSeparator, which steps over the byte after a
// lead byte so that a trail byte 0x5C is never taken for a separator.

#include <cstddef>
#include <string>
#include <string_view>

// True for the first byte of a two-byte Shift-JIS character.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x80 && c <= 0x9F) || c >= 0xE0; }
inline bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// Calls visit(index) for each separator "\" at or after `start` that is not
// the trail byte of a two-byte character, in ascending order. A lead byte
// steps over the byte after it even when that is the separator.
template <class Visit>
void forEachSeparator(std::string_view text, size_t start, Visit&& visit) {
  for (size_t i = start; i < text.size();) {
    if (IsLeadByte(text[i])) {
      i += 2;
    } else {
      if (text[i] == '\\') visit(i);
      ++i;
    }
  }
}

// "%s\%s": a folder and a name joined by one separator.
inline std::string joinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder).append(1, '\\').append(name);
  return path;
}

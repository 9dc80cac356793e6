#pragma once
// Shift-JIS helpers. Every scan of a path or key for the separator "\"
// (0x5C) goes through forEachSeparator, which steps over the byte after a
// lead byte so that a trail byte 0x5C is never taken for a separator.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// True for the ASCII letters, the only letters a drive is named with.
inline bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// True when the text begins with a drive name: an ASCII letter and ":".
inline bool hasDriveName(std::string_view text) { return text.size() >= 2 && isAsciiLetter(text[0]) && text[1] == ':'; }

// True for the first byte of a two-byte code page 932 character: 0x81 to
// 0x9F and 0xE0 to 0xFC. 0x80, 0xA0 and 0xFD to 0xFF are characters of one
// byte there, so a separator after them is a separator.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// True for a byte that may follow a lead byte: 0x40 to 0x7E, 0x80 to 0xFC.
inline bool IsTrailByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 0x40 && u <= 0x7E) || (u >= 0x80 && u <= 0xFC);
}

// True when every lead byte is followed by a trail byte, so that the
// characters a scan sees are those code page 932 makes of the bytes. A lead
// byte before anything else would make Windows read the byte after it (a
// separator, say) as a character of its own.
inline bool IsWellFormedSjis(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsLeadByte(text[i])) continue;
    if (i + 1 >= text.size() || !IsTrailByte(text[i + 1])) return false;
    ++i;
  }
  return true;
}

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

// The index of the last separator "\" at or after `start` (forEachSeparator);
// nullopt when there is none.
inline std::optional<size_t> lastSeparator(std::string_view text, size_t start) {
  std::optional<size_t> found;
  forEachSeparator(text, start, [&](size_t at) { found = at; });
  return found;
}

// True when `a` and `b` differ at most in the letter case of ASCII letters;
// a two-byte character matches only itself.
inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (upper(a[i]) != upper(b[i])) {
      return false;
    }
  }
  return true;
}

// True for the bytes Windows splits a path at, "\" and "/"; a scan asks
// only for bytes that are not the trail byte of a two-byte character.
inline bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

// True when `text` holds a separator, "\" (never a trail byte taken for
// one) or "/": it is then more than one name.
inline bool containsPathSeparator(std::string_view text) {
  for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1) {
    if (isPathSeparator(text[i])) return true;
  }
  return false;
}

// Calls visit(component) for each piece of `text` between separators, the
// empty ones included, as Windows splits a path: at "\" (never a trail
// byte taken for one) and at "/".
template <class Visit>
void forEachPathComponent(std::string_view text, Visit&& visit) {
  size_t start = 0;
  for (size_t i = 0; i < text.size();) {
    if (IsLeadByte(text[i])) {
      i += 2;
      continue;
    }
    if (isPathSeparator(text[i])) {
      visit(text.substr(start, i - start));
      start = i + 1;
    }
    ++i;
  }
  visit(text.substr(start));
}

// The names of `text` between separators ("\" or "/"), in order, the empty
// pieces that repeated separators leave out.
inline std::vector<std::string_view> pathNames(std::string_view text) {
  std::vector<std::string_view> names;
  forEachPathComponent(text, [&](std::string_view name) {
    if (!name.empty()) names.push_back(name);
  });
  return names;
}

// The number of characters, a two-byte character counting once.
inline size_t characterCount(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1) ++count;
  return count;
}

// A "%s" format with one argument. '%' (0x25) is never the trail byte of a
// two-byte character, so the plain search is safe on Shift-JIS.
inline std::string formatWith(std::string_view format, std::string_view argument) {
  const size_t at = format.find("%s");
  if (at == std::string_view::npos) return std::string(format);
  return std::string(format.substr(0, at)).append(argument).append(format.substr(at + 2));
}

// True for a component made only of dots and spaces, which Windows strips
// away so that it names the folder it stands in, or the one above it.
inline bool isOnlyDotsAndSpaces(std::string_view component) {
  return !component.empty() && component.find_first_not_of(". ") == std::string_view::npos;
}

// "%s\%s": a folder and a name joined by one separator.
inline std::string joinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder).append(1, '\\').append(name);
  return path;
}

// Comparison ignoring letter case under the user's locale.
#include <windows.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

using win32::toWide;

// Both functions read the text up to its first NUL (length -1), so that the
// comparison and the key always see the same characters.
bool Win32Platform::equalsIgnoreCase(const std::string& a, const std::string& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, toWide(a).c_str(), -1, toWide(b).c_str(), -1) ==
         CSTR_EQUAL;
}

// The locale's sort key under the same flags: the comparison is defined by
// these keys, so equal keys and equal comparison coincide.
std::string Win32Platform::caseFoldKey(const std::string& text) {
  const std::wstring wide = toWide(text);
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  int size = LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1, nullptr, 0);
  if (size <= 0) return {};
  std::string key(static_cast<size_t>(size), '\0');
  // With LCMAP_SORTKEY the destination is a byte buffer of `size` bytes.
  LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1, reinterpret_cast<wchar_t*>(key.data()), size);
  if (!key.empty() && key.back() == '\0') key.pop_back();
  return key;
}

}  // namespace platform

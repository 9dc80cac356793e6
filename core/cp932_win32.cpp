// Code page 932 conversions through the Win32 API.
#include <windows.h>

#include "core/cp932.h"
#include "core/cp932_wide.h"

std::optional<std::wstring> multiByteToWide(unsigned codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n) != n) return std::nullopt;
  return wide;
}

std::optional<std::string> wideToMultiByte(unsigned codePage, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  // Code page 65001 refuses the default-character arguments and best-fit flag.
  BOOL* usedDefaultArg = codePage == CP_UTF8 ? nullptr : &usedDefault;
  const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultArg);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  if (WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), n, nullptr, usedDefaultArg) != n ||
      usedDefault) {
    return std::nullopt;
  }
  // Some characters map without the default character yet do not come back
  // as themselves; only a round trip proves the bytes name the same text.
  // It converts as the program hands the bytes to the system (no flags):
  // 0xA0 and 0xFD to 0xFF come back as their private-use characters there,
  // while the strict conversion refuses them.
  std::wstring back(wide.size(), L'\0');
  if (MultiByteToWideChar(codePage, 0, out.data(), n, back.data(), size) != size || back != wide) return std::nullopt;
  return out;
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
  auto wide = multiByteToWide(CP_UTF8, utf8);
  return wide ? wideToMultiByte(932, *wide) : std::nullopt;
}

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
  auto wide = multiByteToWide(932, cp932);
  return wide ? wideToMultiByte(CP_UTF8, *wide) : std::nullopt;
}

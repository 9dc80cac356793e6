// Code page 932 conversions through the Win32 API.
#include <windows.h>

#include "core/cp932.h"

namespace {

std::optional<std::wstring> toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::optional<std::string> fromWide(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  BOOL usedDefault = FALSE;
  // Code page 65001 refuses the default-character arguments.
  BOOL* usedDefaultArg = codePage == CP_UTF8 ? nullptr : &usedDefault;
  DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                              usedDefaultArg);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      usedDefaultArg);
  return out;
}

}  // namespace

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
  auto wide = toWide(CP_UTF8, utf8);
  return wide ? fromWide(932, *wide) : std::nullopt;
}

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
  auto wide = toWide(932, cp932);
  return wide ? fromWide(CP_UTF8, *wide) : std::nullopt;
}

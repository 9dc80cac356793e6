#include "platform/win32/wide_text.h"

#include <windows.h>

namespace platform::win32 {

namespace {
constexpr UINT kShiftJisCodePage = 932;
}

std::wstring toWide(std::string_view sjis) {
  if (sjis.empty()) return {};
  const int size = static_cast<int>(sjis.size());
  int count = MultiByteToWideChar(kShiftJisCodePage, 0, sjis.data(), size, nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(kShiftJisCodePage, 0, sjis.data(), size, wide.data(), count);
  return wide;
}

std::string toSjis(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  int count = WideCharToMultiByte(kShiftJisCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string sjis(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(kShiftJisCodePage, 0, wide.data(), size, sjis.data(), count, nullptr, nullptr);
  return sjis;
}

}  // namespace platform::win32

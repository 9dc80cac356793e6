#include "toolkit/win32/wide.h"

#include <windows.h>

namespace toolkit::win32 {

constexpr UINT kShiftJis = 932;

std::wstring toWide(std::string_view sjis) {
  if (sjis.empty()) return {};
  int size = static_cast<int>(sjis.size());
  int count = MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(count > 0 ? count : 0), L'\0');
  if (count > 0) MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, wide.data(), count);
  return wide;
}

std::string toSjis(std::wstring_view wide) {
  if (wide.empty()) return {};
  int size = static_cast<int>(wide.size());
  int count = WideCharToMultiByte(kShiftJis, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string sjis(static_cast<size_t>(count > 0 ? count : 0), '\0');
  if (count > 0) WideCharToMultiByte(kShiftJis, 0, wide.data(), size, sjis.data(), count, nullptr, nullptr);
  return sjis;
}

}  // namespace toolkit::win32

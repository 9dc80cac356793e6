#include "platform/win32/wide_text.h"

#include <windows.h>

#include "core/cp932_wide.h"

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

std::optional<std::string> toSjis(std::wstring_view wide) { return wideToMultiByte(kShiftJisCodePage, wide); }

}  // namespace platform::win32

#pragma once
// The program's Shift-JIS text and the wide API's UTF-16, converted with
// code page 932 explicitly (never the system's ANSI code page).

#include <string>
#include <string_view>

namespace toolkit::win32 {

// Bytes that are not valid code page 932 come out as the replacement the
// system chooses; text shown on screen never fails to convert.
std::wstring toWide(std::string_view sjis);
// Characters without a code page 932 form come out as "?".
std::string toSjis(std::wstring_view wide);

}  // namespace toolkit::win32

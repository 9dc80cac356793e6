#pragma once
// The one place where the program's Shift-JIS text meets the wide Win32
// calls. Code page 932 is named explicitly rather than taken from the
// system, so names and values are the same on every locale.

#include <string>
#include <string_view>

namespace platform::win32 {

// Bytes that are not valid Shift-JIS are replaced by the code page's default
// character, as the ANSI calls of a Japanese system replace them.
std::wstring toWide(std::string_view sjis);
// Characters without a code page 932 form become "?", as the ANSI calls
// would return them.
std::string toSjis(std::wstring_view wide);

}  // namespace platform::win32

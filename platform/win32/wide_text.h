#pragma once
// The one place where the program's Shift-JIS text meets the wide Win32
// calls. Code page 932 is named explicitly rather than taken from the
// system, so names and values are the same on every locale.

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// Bytes that are not valid Shift-JIS are replaced by the code page's default
// character, as the ANSI calls of a Japanese system replace them.
std::wstring toWide(std::string_view sjis);
// The exact Shift-JIS form; nullopt when some character has none. Never a
// look-alike or "?": a name the program cannot hold is one it must not act
// on under another name ("¥" would become the separator "\").
std::optional<std::string> toSjis(std::wstring_view wide);

}  // namespace platform::win32

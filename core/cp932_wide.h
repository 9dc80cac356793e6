#pragma once
// Exact conversions between UTF-16 and a Windows code page (Windows builds
// only). Nothing is ever replaced: a character without a form in the target
// is reported, never turned into a look-alike ("É" into "E", "¥" into the
// separator "\") or the default character.

#include <optional>
#include <string>
#include <string_view>

// nullopt when the bytes are not valid in the code page.
std::optional<std::wstring> multiByteToWide(unsigned codePage, std::string_view text);
// nullopt when some character has no exact form in the code page: best-fit
// is off, the used-default flag is checked, and the result is converted
// back and compared with the input.
std::optional<std::string> wideToMultiByte(unsigned codePage, std::wstring_view wide);

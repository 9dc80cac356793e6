#pragma once
// Conversions between UTF-8 and Shift-JIS as Windows code page 932 (not
// plain SHIFT_JIS: the two differ on a few characters). Used where text
// enters from outside the program: the instcfg tool and tests.

#include <optional>
#include <string>
#include <string_view>

// nullopt when some character has no code page 932 form.
std::optional<std::string> utf8ToCp932(std::string_view utf8);
// nullopt when the bytes are not valid code page 932.
std::optional<std::string> cp932ToUtf8(std::string_view cp932);

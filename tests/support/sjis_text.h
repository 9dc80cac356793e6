#pragma once
// Tests write Japanese names in UTF-8; the program sees Shift-JIS.

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/cp932.h"

// The code page 932 bytes of a UTF-8 text; throws when it has no such form.
inline std::string sjis(std::string_view utf8) {
  auto converted = utf8ToCp932(utf8);
  if (!converted) throw std::invalid_argument("no code page 932 form: " + std::string(utf8));
  return *converted;
}

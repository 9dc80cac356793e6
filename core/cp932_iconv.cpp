// Code page 932 conversions through the C library's iconv.
#include <iconv.h>

#include <cerrno>
#include <memory>

#include "core/cp932.h"

namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);
  std::string in(input);
  std::string out(input.size() * 4 + 4, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

// Exact only: the converter maps some characters one way ("¥" U+00A5 to
// 0x5C, the separator "\"; "‾" to "~"), which the round trip exposes.
std::optional<std::string> utf8ToCp932(std::string_view utf8) {
  auto cp932 = convert("CP932", "UTF-8", utf8);
  if (!cp932 || convert("UTF-8", "CP932", *cp932) != utf8) return std::nullopt;
  return cp932;
}
std::optional<std::string> cp932ToUtf8(std::string_view cp932) { return convert("UTF-8", "CP932", cp932); }

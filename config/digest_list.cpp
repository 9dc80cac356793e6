#include "config/digest_list.h"

#include "config/name_rules.h"
#include "core/cp932.h"

namespace {

constexpr size_t kHexDigits = 64;

// The name of a line (UTF-8, "/" or "\" between folders) as a plan names
// it; the reason when it has none. UTF-8 is split before it is converted: a
// Shift-JIS trail byte may be 0x5C.
std::optional<std::string> plannedName(std::string_view utf8, std::string& reason) {
  std::string name;
  size_t start = 0;
  for (;;) {
    const size_t end = utf8.find_first_of("/\\", start);
    const std::string_view piece = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (piece.empty()) {
      reason = "an empty folder name (a leading, trailing or doubled \"/\")";
      return std::nullopt;
    }
    auto converted = utf8ToCp932(piece);
    if (!converted) {
      reason = "a name without a Shift-JIS form, or not UTF-8";
      return std::nullopt;
    }
    if (!name.empty()) name += '\\';
    name += *converted;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (auto problem = placedNameProblem(name)) {
    reason = *problem;
    return std::nullopt;
  }
  return name;
}

}  // namespace

std::string AsciiCaseFolding::caseFoldKey(const std::string& text) {
  std::string key = text;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

const ListedDigest* DigestList::find(CaseFolding& folding, const std::string& name) const {
  auto found = indexByKey.find(folding.caseFoldKey(name));
  return found == indexByKey.end() ? nullptr : &entries[found->second];
}

bool DigestList::add(CaseFolding& folding, std::string name, const Sha256Digest& digest) {
  if (!indexByKey.emplace(folding.caseFoldKey(name), entries.size()).second) return false;
  entries.push_back({std::move(name), digest});
  return true;
}

DigestListReading parseDigestList(std::string_view text, CaseFolding& folding) {
  DigestListReading reading;
  DigestList list;
  auto refuse = [&](int line, std::string why) {
    reading.badLine = line;
    reading.reason = std::move(why);
    return reading;
  };
  int number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '\\') return refuse(number, "an escaped name (a backslash or a line break in it)");
    auto digest = digestFromHex(line.substr(0, kHexDigits));
    if (!digest) return refuse(number, "no digest of 64 hex digits at the start");
    if (line.size() < kHexDigits + 3 || line[kHexDigits] != ' ' ||
        (line[kHexDigits + 1] != ' ' && line[kHexDigits + 1] != '*')) {
      return refuse(number, "no two spaces (or \" *\") and a name after the digest");
    }
    std::string reason;
    auto name = plannedName(line.substr(kHexDigits + 2), reason);
    if (!name) return refuse(number, reason);
    if (!list.add(folding, std::move(*name), *digest)) return refuse(number, "a file listed twice");
  }
  reading.list = std::move(list);
  return reading;
}

std::string digestListLine(const Sha256Digest& digest, const std::string& utf8Name) {
  return digestHex(digest) + "  " + utf8Name + "\n";
}

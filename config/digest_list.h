#pragma once
// install.sha256, the digests a publisher puts in the medium's root
// (`instcfg digest` writes it) so that install.exe checks every file it
// copies. One line per file that an installation of the block can copy, in
// the form `sha256sum -c` reads, so that a master can be checked with
// standard tools too:
//
//   <64 hex digits><two spaces><name>
//
// The name is relative to the medium's root, UTF-8, "/" between folders
// (a space and "*" instead of the two spaces, and "\" between folders, are
// read too). Empty lines and lines beginning with "#" are passed over. A
// line beginning with "\" is sha256sum's escaped form of a name with a
// backslash or a line break, which no file of a Windows medium has.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/case_folding.h"
#include "core/sha256.h"

inline constexpr char kDigestListFile[] = "install.sha256";

// Letter case folded for ASCII letters alone: how instcfg compares a disc's
// names (install.exe folds as the system does).
class AsciiCaseFolding final : public CaseFolding {
 public:
  std::string caseFoldKey(const std::string& text) override;
};

struct ListedDigest {
  std::string name;  // Shift-JIS, "\" between folders, as a plan names it
  Sha256Digest digest;
};

struct DigestList {
  std::vector<ListedDigest> entries;  // in the list's order
  // The entry of a planned name, letter case ignored as `folding` folds
  // it (the folding the list was read with); null when it is not listed.
  const ListedDigest* find(CaseFolding& folding, const std::string& name) const;
  // Lists `name` with its digest; false, with nothing added, when it is
  // listed already (letter case ignored as `folding` folds it).
  bool add(CaseFolding& folding, std::string name, const Sha256Digest& digest);

  std::unordered_map<std::string, size_t> indexByKey;
};

struct DigestListReading {
  std::optional<DigestList> list;  // nullopt when a line is not well formed
  int badLine = 0;                 // that line, counted from 1
  std::string reason;              // why, in English, for instcfg
};

// Reads the list's text. A line is not well formed when its digest is not
// 64 hex digits, the separator is missing, the name has no exact Shift-JIS
// form or is not a sound relative name inside the game folder
// (config/name_rules: no drive, no "..", nothing Windows' path rules would
// change), or it names a file listed before (letter case ignored).
DigestListReading parseDigestList(std::string_view text, CaseFolding& folding);

// A line as `instcfg digest` writes it: the lowercase digest, two spaces,
// the UTF-8 name with "/", a line feed.
std::string digestListLine(const Sha256Digest& digest, const std::string& utf8Name);

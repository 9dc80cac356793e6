#include "tools/disc_files.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "config/digest_list.h"
#include "config/disc_files.h"
#include "core/cp932.h"
#include "core/sjis.h"
#include "tools/file_io.h"
#include "tools/instcfg_error.h"

namespace fs = std::filesystem;

namespace {

std::string utf8Of(const fs::path& name) {
  const std::u8string text = name.u8string();
  return std::string(text.begin(), text.end());
}

// The member of `folder` named `part`, ignoring ASCII letter case (the
// exact name first), as the folder's listing spells it: Windows would find
// "SYSTEM.INI" by its own name however the disc spells it.
std::optional<fs::path> findMember(const fs::path& folder, std::string_view part) {
  std::optional<fs::path> found;
  std::error_code error;
  for (const auto& member : fs::directory_iterator(folder, error)) {
    const std::string name = utf8Of(member.path().filename());
    if (name == part) return member.path();
    if (!found && equalsIgnoringAsciiCase(name, part)) found = member.path();
  }
  return found;
}

class Collector {
 public:
  // A file, or everything below a folder, as AddEntryToPlan plans it.
  void add(const DiscFile& found) {
    std::error_code error;
    if (fs::is_regular_file(found.path, error)) return keep(found);
    if (!fs::is_directory(found.path, error)) return;
    std::vector<fs::path> members;
    for (const auto& member : fs::directory_iterator(found.path)) members.push_back(member.path());
    std::sort(members.begin(), members.end());
    for (const fs::path& member : members) {
      const std::string part = utf8Of(member.filename());
      if (!part.empty() && part.front() != '.') add({member, found.name + "/" + part});
    }
  }
  std::vector<DiscFile> files;

 private:
  void keep(const DiscFile& file) {
    const bool usable = utf8ToCp932(file.name).has_value() &&
                        std::none_of(file.name.begin(), file.name.end(),
                                     [](char c) { return c == '\\' || (static_cast<unsigned char>(c) < 0x20); });
    if (!usable) {
      throw InstcfgError(file.name + ": install.exe cannot copy a file so named (a character without a Shift-JIS "
                         "form, a backslash or a control character); rename it");
    }
    if (seen_.insert(folding_.caseFoldKey(file.name)).second) files.push_back(file);
  }

  AsciiCaseFolding folding_;
  std::set<std::string> seen_;
};

}  // namespace

std::optional<DiscFile> findOnDisc(const fs::path& disc, std::string_view utf8Name) {
  DiscFile found{disc, ""};
  size_t start = 0;
  while (start <= utf8Name.size()) {
    const size_t end = std::min(utf8Name.find_first_of("/\\", start), utf8Name.size());
    const std::string_view part = utf8Name.substr(start, end - start);
    start = end + 1;
    // Empty parts are dropped, as the plan drops them ("data/" is "data").
    if (part.empty()) continue;
    if (part == "." || part == "..") return std::nullopt;
    auto member = findMember(found.path, part);
    if (!member) return std::nullopt;
    found.path = *member;
    if (!found.name.empty()) found.name += '/';
    found.name += utf8Of(member->filename());
  }
  if (found.name.empty()) return std::nullopt;
  return found;
}

std::vector<DiscFile> discFiles(const fs::path& disc, const ConfigBlockContent& content) {
  Collector collector;
  auto plan = [&](const std::string& sjisEntry) {
    // A name without a UTF-8 form breaks the block's rules; install.exe
    // refuses such a block.
    if (auto utf8 = cp932ToUtf8(sjisEntry)) {
      if (auto found = findOnDisc(disc, *utf8)) collector.add(*found);
    }
  };
  for (const char* name : StandardFiles) {
    if (auto found = findOnDisc(disc, name); found && fs::is_regular_file(found->path)) collector.add(*found);
  }
  for (const std::string& entry : content.extraEntries) plan(entry);
  plan(kSaveDataFile);
  for (const std::string& entry : content.preserveEntries) plan(entry);
  return std::move(collector.files);
}

Sha256Digest fileDigest(Sha256Provider& sha256, const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  auto digest = sha256.start();
  if (!in || !digest) throw InstcfgError("cannot read " + displayPath(path));
  std::vector<char> buffer(1 << 20);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    digest->add(buffer.data(), static_cast<size_t>(in.gcount()));
  }
  auto result = in.bad() ? std::nullopt : digest->finish();
  if (!result) throw InstcfgError("cannot read " + displayPath(path));
  return *result;
}

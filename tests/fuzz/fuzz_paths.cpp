// Fuzz target: the Shift-JIS scanners and the path and name rules. The
// input is up to three texts split at NUL bytes: a destination (also read
// as an InstallPath from the registry), a game folder and a name from the
// block. Properties:
// - the separator walk and the component split step over every two-byte
//   character: they never cut inside one, and miss no separator;
// - the removal guard never accepts a path with a "." or ".." component
//   (or any of only dots and spaces), nor one that resolves to the drive
//   root or, composed with the game folder, above the game folder;
// - a game folder the name rules accept, joined to a removable folder,
//   stays removable;
// - the name rules hold what they say.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/check.h"
#include "tests/fuzz/path_rules.h"

namespace {

// Where each character starts, walked byte by byte: a lead byte and the
// byte after it are one character.
std::vector<bool> characterStarts(std::string_view text) {
  std::vector<bool> starts(text.size() + 1, false);
  bool afterLead = false;
  for (size_t i = 0; i < text.size(); ++i) {
    starts[i] = !afterLead;
    afterLead = !afterLead && IsLeadByte(text[i]);
  }
  starts[text.size()] = !afterLead;
  return starts;
}

void checkScanners(std::string_view text) {
  const std::vector<bool> starts = characterStarts(text);
  size_t backslashes = 0, separators = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!starts[i]) continue;
    backslashes += text[i] == '\\';
    separators += isPathSeparator(text[i]);
  }
  size_t visits = 0;
  size_t last = 0;
  forEachSeparator(text, 0, [&](size_t at) {
    FUZZ_CHECK(at < text.size() && starts[at] && text[at] == '\\');
    FUZZ_CHECK(visits == 0 || at > last);
    last = at;
    ++visits;
  });
  FUZZ_CHECK(visits == backslashes);

  size_t expected = 0;  // where the next component starts
  size_t components = 0;
  forEachPathComponent(text, [&](std::string_view part) {
    size_t at = static_cast<size_t>(part.data() - text.data());
    size_t end = at + part.size();
    FUZZ_CHECK(at == expected && end <= text.size() && starts[at]);
    // A component ends at a separator or at the end, never inside a
    // two-byte character (a lone lead byte at the very end stays whole).
    FUZZ_CHECK(end == text.size() || (starts[end] && isPathSeparator(text[end])));
    expected = end + 1;
    ++components;
  });
  FUZZ_CHECK(components == separators + 1 && expected == text.size() + 1);
}

// The folders a path names below its drive root once Windows has resolved
// it: empty parts collapse, ".." climbs one up (never above the root), any
// other part of only dots and spaces names the folder it stands in. nullopt
// when a ".." would climb above the root.
std::optional<std::vector<std::string_view>> resolvedFolders(std::string_view belowRoot) {
  std::vector<std::string_view> folders;
  const std::vector<bool> starts = characterStarts(belowRoot);
  size_t from = 0;
  for (size_t i = 0; i <= belowRoot.size(); ++i) {
    if (i < belowRoot.size() && !(starts[i] && isPathSeparator(belowRoot[i]))) continue;
    std::string_view part = belowRoot.substr(from, i - from);
    from = i + 1;
    if (part.empty()) continue;
    if (part == "..") {
      if (folders.empty()) return std::nullopt;
      folders.pop_back();
    } else if (!isOnlyDotsAndSpaces(part)) {
      folders.push_back(part);
    }
  }
  return folders;
}

size_t namedParts(std::string_view text) {
  size_t count = 0;
  forEachPathComponent(text, [&](std::string_view part) { count += !part.empty(); });
  return count;
}

bool isDriveRoot(const std::string& path) {
  return path.size() == 3 && hasDriveName(path) && isPathSeparator(path[2]);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return fuzz::machine().equalsIgnoreCase(std::string(a), std::string(b));
}

// The last name of a path, as the game folder a folder stands for.
std::string lastName(const std::string& path) {
  std::string last;
  forEachPathComponent(path, [&](std::string_view part) {
    if (!part.empty()) last = part;
  });
  return last;
}

// The guard's properties for one path it accepted.
void checkAccepted(const std::string& path, const std::string& gameFolder) {
  FUZZ_CHECK(IsWellFormedSjis(path) && hasDriveName(path) && path.size() > 3 && isPathSeparator(path[2]));
  std::string_view belowRoot = std::string_view(path).substr(3);
  forEachPathComponent(belowRoot, [](std::string_view part) { FUZZ_CHECK(!isOnlyDotsAndSpaces(part)); });
  // It resolves to the folders it names, at least one below the root.
  auto folders = resolvedFolders(belowRoot);
  FUZZ_CHECK(folders && !folders->empty() && folders->size() == namedParts(belowRoot));
  // Its last folders are the game folder's names.
  auto own = resolvedFolders(gameFolder);
  FUZZ_CHECK(own && !own->empty() && own->size() <= folders->size());
  FUZZ_CHECK(std::equal(own->rbegin(), own->rend(), folders->rbegin(), equalsIgnoringCase));
}

void checkNameRules(const std::string& name) {
  auto placed = fuzz::placedNameFault(name);
  const std::vector<bool> starts = characterStarts(name);
  auto refusedAt = [&](size_t i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    return starts[i] && (c < 0x20 || std::string_view(":*?\"<>|").find(name[i]) != std::string_view::npos);
  };
  if (!placed) {
    FUZZ_CHECK(!name.empty() && !isPathSeparator(name[0]) && !hasDriveName(name));
    forEachPathComponent(name, [](std::string_view part) { FUZZ_CHECK(part != ".." && !isOnlyDotsAndSpaces(part)); });
    for (size_t i = 0; i < name.size(); ++i) FUZZ_CHECK(!refusedAt(i));
    // Below any folder, it stays there.
    const std::string below = joinPath("Games", name);
    auto folders = resolvedFolders(below);
    FUZZ_CHECK(folders && !folders->empty() && folders->front() == "Games");
  }
  if (!fuzz::linkNameFault(name) && !name.empty()) {
    FUZZ_CHECK(!isPathSeparator(name.front()) && !(starts[name.size() - 1] && isPathSeparator(name.back())));
    forEachPathComponent(name, [](std::string_view part) { FUZZ_CHECK(!isOnlyDotsAndSpaces(part)); });
    for (size_t i = 0; i < name.size(); ++i) FUZZ_CHECK(!refusedAt(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string fields[3];
  for (size_t i = 0, from = 0; i < 3 && from <= input.size(); ++i) {
    size_t nul = input.find('\0', from);
    fields[i] = std::string(input.substr(from, nul == std::string_view::npos ? std::string_view::npos : nul - from));
    from = nul == std::string_view::npos ? input.size() + 1 : nul + 1;
  }
  const std::string& destination = fields[0];
  const std::string& gameFolder = fields[1];
  const std::string& name = fields[2];
  const std::string installPath = composeInstallPath(destination, gameFolder);

  for (const std::string& text : {destination, gameFolder, name, installPath}) checkScanners(text);

  // The destination read as an InstallPath from the registry.
  if (fuzz::guardAccepts(destination, gameFolder)) checkAccepted(destination, gameFolder);

  // The InstallPath the program composes: where the name rules accept the
  // game folder, the guard removes that folder and nothing above it. The
  // typed destination is the Shift-JIS form of UTF-16 text, so well-formed.
  const bool gameFolderPacks = IsWellFormedSjis(gameFolder) && !fuzz::placedNameFault(gameFolder);
  if (fuzz::guardAccepts(installPath, gameFolder)) {
    checkAccepted(installPath, gameFolder);
    if (gameFolderPacks && IsWellFormedSjis(destination)) {
      auto folders = resolvedFolders(std::string_view(installPath).substr(3));
      auto own = resolvedFolders(gameFolder);
      FUZZ_CHECK(own && folders->size() >= own->size());
      FUZZ_CHECK(std::equal(own->rbegin(), own->rend(), folders->rbegin(), equalsIgnoringCase));
    }
  }
  // A game folder that pack accepts, below a folder the guard accepts (as
  // the game folder of its own last name) or a drive root, can be removed
  // again.
  if (gameFolderPacks && (isDriveRoot(destination) || fuzz::guardAccepts(destination, lastName(destination)))) {
    FUZZ_CHECK(fuzz::guardAccepts(installPath, gameFolder));
  }
  // What the destination dialog accepts, the guard removes.
  if (IsWellFormedSjis(destination)) {
    if (auto accepted = fuzz::acceptedInstallPath(destination, gameFolder)) {
      FUZZ_CHECK(fuzz::guardAccepts(*accepted, gameFolder));
    }
  }

  checkNameRules(name);
  checkNameRules(gameFolder);
  return 0;
}

#include "uninstall/tree_deletion.h"

#include <algorithm>
#include <memory>

#include "core/sjis.h"

using platform::FileError;
using platform::RemovalEntry;

namespace {

// Empties the open folder at `path`; true when something stays by design.
bool emptyFolder(platform::Platform& platform, RemovalEntry& folder, const std::string& path,
                 RemovalReport& report, const std::vector<std::string>& spared) {
  auto listing = folder.list();
  if (!listing) {
    report.left(path);
    return false;
  }
  // A name without a Shift-JIS form is not listed and stays, with the folder
  // it is in: nothing made from a look-alike of it may be acted on.
  bool keptByDesign = listing->unrepresentable > 0;
  if (listing->failed) report.left(path);
  for (const std::string& name : listing->names) {
    if (name.empty() || name[0] == '.') {
      keptByDesign = true;
      continue;
    }
    const std::string memberPath = joinPath(path, name);
    auto isMember = [&](const std::string& file) { return platform.equalsIgnoreCase(memberPath, file); };
    if (std::ranges::any_of(spared, isMember)) continue;
    FileError error = FileError::None;
    auto member = folder.openMember(name, &error);
    if (!member) {
      if (error != FileError::Missing) report.left(memberPath);  // gone meanwhile is fine
      continue;
    }
    const uint32_t attributes = member->attributes();
    if (platform::isFolderAttributes(attributes) && !isLinkAttributes(attributes) &&
        emptyFolder(platform, *member, memberPath, report, spared)) {
      keptByDesign = true;
      continue;
    }
    const bool isFile = !platform::isFolderAttributes(attributes);
    if (!member->remove()) {
      report.left(memberPath);
    } else if (isFile) {
      report.removed(memberPath);
    }
  }
  return keptByDesign;
}

}  // namespace

bool DeleteTreeContents(platform::Platform& platform, const std::string& folder, RemovalReport& report,
                        const std::vector<std::string>& spared) {
  FileError error = FileError::None;
  auto entry = platform.openForRemoval(folder, &error);
  if (!entry) {
    if (error != FileError::Missing) report.left(folder);
    return false;
  }
  if (isLinkAttributes(entry->attributes())) return true;
  return emptyFolder(platform, *entry, folder, report, spared);
}

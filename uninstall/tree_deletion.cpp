#include "uninstall/tree_deletion.h"

#include <algorithm>
#include <memory>

#include "core/sjis.h"

using platform::FileError;
using platform::RemovalEntry;

namespace {

// Empties the open folder at `path`; true when something stays by design.
bool emptyFolder(RemovalEntry& folder, const std::string& path, RemovalReport& report,
                 const std::vector<platform::FileIdentity>& spared) {
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
    FileError error = FileError::None;
    auto member = folder.openMember(name, &error);
    if (!member) {
      if (error != FileError::Missing) report.left(memberPath);  // gone meanwhile is fine
      continue;
    }
    if (!spared.empty() && std::ranges::find(spared, member->identity()) != spared.end()) continue;
    const uint32_t attributes = member->attributes();
    if (platform::isFolderAttributes(attributes) && !isLinkAttributes(attributes) &&
        emptyFolder(*member, memberPath, report, spared)) {
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

bool DeleteTreeContents(RemovalEntry& folder, const std::string& path, RemovalReport& report,
                        const std::vector<platform::FileIdentity>& spared) {
  if (isLinkAttributes(folder.attributes())) return true;
  return emptyFolder(folder, path, report, spared);
}

bool DeleteTreeContents(platform::Platform& platform, const std::string& folder, RemovalReport& report,
                        const std::vector<platform::FileIdentity>& spared) {
  FileError error = FileError::None;
  auto entry = platform.openForRemoval(folder, &error);
  if (!entry) {
    if (error != FileError::Missing) report.left(folder);
    return false;
  }
  return DeleteTreeContents(*entry, folder, report, spared);
}

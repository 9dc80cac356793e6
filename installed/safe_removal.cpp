#include "installed/safe_removal.h"

#include <memory>
#include <string_view>
#include <vector>

#include "core/sjis.h"

using platform::FileError;
using platform::RemovalEntry;

namespace {

// The entry `relative` below `root`, each folder on the way opened from the
// one above; null when something on the way is missing or is a link (which
// is not followed). `error` says why.
std::unique_ptr<RemovalEntry> openBelow(platform::Platform& platform, const std::string& root,
                                        const std::string& relative, FileError& error) {
  error = FileError::None;
  auto entry = platform.openForRemoval(root, &error);
  for (std::string_view name : pathNames(relative)) {
    if (!entry) return nullptr;
    const uint32_t attributes = entry->attributes();
    if (!platform::isFolderAttributes(attributes) || isLinkAttributes(attributes)) {
      error = FileError::Other;
      return nullptr;
    }
    entry = entry->openMember(std::string(name), &error);
  }
  return entry;
}

// Removes an open file; true when it is gone. A folder is left alone.
bool removeOpenFile(std::unique_ptr<RemovalEntry> entry) {
  if (platform::isFolderAttributes(entry->attributes())) return false;
  return entry->remove();
}

void removeOpenEmptyFolder(std::unique_ptr<RemovalEntry> entry) {
  const uint32_t attributes = entry->attributes();
  if (!platform::isFolderAttributes(attributes) || isLinkAttributes(attributes)) return;
  entry->remove();
}

}  // namespace

FileRemoval removeFileBelow(platform::Platform& platform, const std::string& root, const std::string& relative) {
  FileError error;
  auto entry = openBelow(platform, root, relative, error);
  if (!entry) return error == FileError::Missing ? FileRemoval::Absent : FileRemoval::Left;
  return removeOpenFile(std::move(entry)) ? FileRemoval::Removed : FileRemoval::Left;
}

bool removeFile(platform::Platform& platform, const std::string& path) {
  FileError error = FileError::None;
  auto entry = platform.openForRemoval(path, &error);
  if (!entry) return error == FileError::Missing;
  return removeOpenFile(std::move(entry));
}

void removeEmptyFolder(platform::Platform& platform, const std::string& path) {
  if (auto entry = platform.openForRemoval(path)) removeOpenEmptyFolder(std::move(entry));
}

void removeEmptyFolderBelow(platform::Platform& platform, const std::string& root, const std::string& relative) {
  FileError error;
  if (auto entry = openBelow(platform, root, relative, error)) removeOpenEmptyFolder(std::move(entry));
}

bool isLinkAttributes(uint32_t attributes) {
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttributeReparsePoint);
}

bool isLink(platform::Platform& platform, const std::string& path) {
  // The attributes of a path are those of its last entry, link or not.
  return isLinkAttributes(platform.fileAttributes(path));
}

#include "footprint/safe_removal.h"

#include <memory>
#include <string_view>
#include <vector>

#include "core/sjis.h"

using platform::FileError;
using platform::RemovalEntry;

namespace {

// The entry `relative` below the held folder `root`, each folder on the way
// opened from the one above; null when something on the way is missing or
// is a link (which is not followed). `error` says why.
std::unique_ptr<RemovalEntry> openBelow(RemovalEntry& root, const std::string& relative, FileError& error) {
  error = FileError::None;
  std::unique_ptr<RemovalEntry> entry;
  for (std::string_view name : pathNames(relative)) {
    RemovalEntry& folder = entry ? *entry : root;
    const uint32_t attributes = folder.attributes();
    if (!platform::isFolderAttributes(attributes) || isLinkAttributes(attributes)) {
      error = FileError::Other;
      return nullptr;
    }
    entry = folder.openMember(std::string(name), &error);
    if (!entry) return nullptr;
  }
  if (!entry) error = FileError::Other;
  return entry;
}

// Removes an open file; true when it is gone. A folder is left alone.
bool removeOpenFile(std::unique_ptr<RemovalEntry> entry) {
  if (platform::isFolderAttributes(entry->attributes())) return false;
  return entry->remove();
}

}  // namespace

FileRemoval removeFileBelow(RemovalEntry& root, const std::string& relative, const SparedFile& spared) {
  FileError error;
  auto entry = openBelow(root, relative, error);
  if (!entry) return error == FileError::Missing ? FileRemoval::Absent : FileRemoval::Left;
  if (spared && entry->identity() == *spared) return FileRemoval::Spared;
  return removeOpenFile(std::move(entry)) ? FileRemoval::Removed : FileRemoval::Left;
}

bool removeFile(platform::Platform& platform, const std::string& path, const SparedFile& only) {
  FileError error = FileError::None;
  auto entry = platform.openForRemoval(path, &error);
  if (!entry) return error == FileError::Missing;
  if (only && entry->identity() != *only) return false;
  return removeOpenFile(std::move(entry));
}

void removeEmptyFolder(std::unique_ptr<RemovalEntry> folder) {
  if (!folder) return;
  const uint32_t attributes = folder->attributes();
  if (!platform::isFolderAttributes(attributes) || isLinkAttributes(attributes)) return;
  folder->remove();
}

void removeEmptyFolder(platform::Platform& platform, const std::string& path) {
  removeEmptyFolder(platform.openForRemoval(path));
}

void removeEmptyFolderBelow(RemovalEntry& root, const std::string& relative) {
  FileError error;
  removeEmptyFolder(openBelow(root, relative, error));
}

bool isLinkAttributes(uint32_t attributes) {
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttributeReparsePoint);
}

bool isLink(platform::Platform& platform, const std::string& path) {
  // The attributes of a path are those of its last entry, link or not.
  return isLinkAttributes(platform.fileAttributes(path));
}

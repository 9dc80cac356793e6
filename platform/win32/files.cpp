// Folders, files, folder listing and the current directory.
#include <windows.h>

#include "core/sjis.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

using win32::toSjis;
using win32::toWide;

bool Win32Platform::createDirectory(const std::string& path) {
  return CreateDirectoryW(toWide(path).c_str(), nullptr) != 0;
}

bool Win32Platform::removeDirectory(const std::string& path) {
  return RemoveDirectoryW(toWide(path).c_str()) != 0;
}

bool Win32Platform::deleteFile(const std::string& path) { return DeleteFileW(toWide(path).c_str()) != 0; }

uint32_t Win32Platform::fileAttributes(const std::string& path) {
  return GetFileAttributesW(toWide(path).c_str());  // INVALID_FILE_ATTRIBUTES is kInvalidAttributes
}

std::optional<FolderListing> Win32Platform::listFolder(const std::string& folder) {
  WIN32_FIND_DATAW entry;
  win32::UniqueFind find(FindFirstFileW(toWide(joinPath(folder, "*.*")).c_str(), &entry));
  if (!find) {
    // Nothing matched in a folder without "." and "..", such as an empty
    // drive root: an empty listing, not a failure.
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return std::nullopt;
    const uint32_t attributes = fileAttributes(folder);
    if (!isFolderAttributes(attributes)) return std::nullopt;
    return FolderListing();
  }
  FolderListing listing;
  do {
    if (auto name = toSjis(entry.cFileName)) {
      listing.names.push_back(std::move(*name));
    } else {
      ++listing.unrepresentable;
    }
  } while (FindNextFileW(find.get(), &entry));
  return listing;
}

namespace {

std::wstring currentDirectoryWide() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length);  // the size needed, terminator included
  }
}

// Kept in UTF-16, so that a folder whose name has no Shift-JIS form is
// found again.
class Win32SavedCurrentDirectory final : public SavedCurrentDirectory {
 public:
  Win32SavedCurrentDirectory() : saved_(currentDirectoryWide()) {}
  ~Win32SavedCurrentDirectory() override {
    if (!saved_.empty()) SetCurrentDirectoryW(saved_.c_str());
  }

 private:
  std::wstring saved_;
};

}  // namespace

std::string Win32Platform::currentDirectory() { return toSjis(currentDirectoryWide()).value_or(std::string()); }

bool Win32Platform::setCurrentDirectory(const std::string& path) {
  return SetCurrentDirectoryW(toWide(path).c_str()) != 0;
}

std::unique_ptr<SavedCurrentDirectory> Win32Platform::saveCurrentDirectory() {
  return std::make_unique<Win32SavedCurrentDirectory>();
}

}  // namespace platform

// Folders, files, folder listing and the current directory.
#include <windows.h>

#include <winternl.h>

#include "core/sjis.h"
#include "platform/win32/access_lists.h"
#include "platform/win32/file_errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/held_folders.h"
#include "platform/win32/listing.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

using win32::toSjis;
using win32::toWide;

bool Win32Platform::createDirectory(const std::string& path, FileError* error) {
  if (CreateDirectoryW(toWide(path).c_str(), nullptr)) return true;
  win32::reportLastError(error);
  return false;
}

bool Win32Platform::createProtectedDirectory(const std::string& path, FileError* error) {
  if (!win32::runsElevated()) return createDirectory(path, error);
  win32::FolderSecurity security(win32::FolderAccess::GameFolder);
  // Never a folder open to everyone where a protected one was asked for.
  if (!security.attributes()) {
    if (error) *error = FileError::Other;
    return false;
  }
  if (CreateDirectoryW(toWide(path).c_str(), security.attributes())) return true;
  win32::reportLastError(error);
  return false;
}

bool Win32Platform::createDirectoryBelow(const std::string& root, const std::string& relative, FileError* error) {
  std::wstring rootPath, leaf, leafPath;
  win32::UniqueFileHandle top = win32::openRootFolder(root, rootPath, error);
  if (!top) return false;
  win32::UniqueFileHandle folder = win32::openFoldersBelow(top.get(), rootPath, toWide(relative), leaf, leafPath, error);
  if (!folder) return false;
  const win32::OpenInFolder create{win32::kHeldFolder.access, win32::kHeldFolder.share, FILE_CREATE,
                                   FILE_DIRECTORY_FILE};
  return static_cast<bool>(win32::openInFolder(folder.get(), leaf, create, error));
}

std::optional<FileIdentity> Win32Platform::fileIdentity(const std::string& path) {
  win32::UniqueFileHandle file(CreateFileW(toWide(path).c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return win32::identityOf(information);
}

bool Win32Platform::removeDirectory(const std::string& path) {
  return RemoveDirectoryW(toWide(path).c_str()) != 0;
}

bool Win32Platform::deleteFile(const std::string& path, FileError* error) {
  if (DeleteFileW(toWide(path).c_str())) return true;
  win32::reportLastError(error);
  return false;
}

bool Win32Platform::moveFile(const std::string& from, const std::string& to, FileError* error) {
  const std::wstring source = toWide(from);
  const DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    win32::reportLastError(error);
    return false;
  }
  // MoveFileExW would move a folder too; a folder is refused as DeleteFileW
  // refuses one.
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    if (error) *error = FileError::AccessDenied;
    return false;
  }
  if (MoveFileExW(source.c_str(), toWide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  win32::reportLastError(error);
  return false;
}

uint32_t Win32Platform::fileAttributes(const std::string& path) {
  return GetFileAttributesW(toWide(path).c_str());  // INVALID_FILE_ATTRIBUTES is kInvalidAttributes
}

std::optional<FolderListing> Win32Platform::listFolder(const std::string& folder) {
  return win32::listMatches(toWide(joinPath(folder, "*.*")), [&] { return fileAttributes(folder); });
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

std::optional<VolumeSpace> Win32Platform::volumeSpace(const std::string& folder) {
  const std::wstring path = toWide(folder);
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExW(path.c_str(), &available, &total, &totalFree)) return std::nullopt;
  // The cluster is asked of the volume's root.
  wchar_t root[MAX_PATH + 1] = {};
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (!GetVolumePathNameW(path.c_str(), root, MAX_PATH + 1) ||
      !GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
    return std::nullopt;
  }
  return VolumeSpace{available.QuadPart, static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector};
}

std::string Win32Platform::currentFolderOfDrive(char drive) {
  if (!isAsciiLetter(drive)) return {};
  // The full path of the bare drive is the folder it continues from.
  const wchar_t driveOnly[] = {static_cast<wchar_t>(drive), L':', L'\0'};
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetFullPathNameW(driveOnly, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      // "C:" gives the folder with a separator at its end, as the root has.
      if (buffer.size() > 3 && buffer.back() == L'\\') buffer.pop_back();
      return toSjis(buffer).value_or(std::string());
    }
    buffer.resize(length);
  }
}

bool Win32Platform::setCurrentDirectory(const std::string& path) {
  return SetCurrentDirectoryW(toWide(path).c_str()) != 0;
}

std::unique_ptr<SavedCurrentDirectory> Win32Platform::saveCurrentDirectory() {
  return std::make_unique<Win32SavedCurrentDirectory>();
}

}  // namespace platform

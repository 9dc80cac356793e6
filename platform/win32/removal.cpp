// Entries opened for removal: by "\\?\" paths, without following a reparse
// point, held without delete sharing so that nobody renames or replaces them
// meanwhile, and deleted through their own handle.
#include <windows.h>

#include <string_view>

#include "core/sjis.h"
#include "platform/win32/file_errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

using win32::toWide;
using win32::UniqueFileHandle;

class Win32RemovalEntry final : public RemovalEntry {
 public:
  // The entry at `path` ("\\?\X:\..."), or null with the cause.
  static std::unique_ptr<RemovalEntry> open(std::wstring path, FileError* error) {
    // DELETE to remove it through this handle, FILE_LIST_DIRECTORY to list a
    // folder through it; no FILE_SHARE_DELETE, so no other program can
    // rename it, or the folders above what it holds, while it is open.
    UniqueFileHandle handle(CreateFileW(path.c_str(), DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle || !GetFileInformationByHandle(handle.get(), &information)) {
      win32::reportLastError(error);
      return nullptr;
    }
    return std::unique_ptr<RemovalEntry>(
        new Win32RemovalEntry(std::move(path), std::move(handle), information.dwFileAttributes));
  }

  uint32_t attributes() override { return handle_ ? attributes_ : kInvalidAttributes; }

  std::optional<FolderListing> list() override {
    // A link is never listed through: that would be its target's listing.
    if (!handle_ || (attributes_ & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
                        FILE_ATTRIBUTE_DIRECTORY) {
      return std::nullopt;
    }
    return listThroughHandle();
  }

  std::unique_ptr<RemovalEntry> openMember(const std::string& name, FileError* error) override {
    if (!handle_ || name.empty() || name == "." || name == ".." || containsPathSeparator(name)) {
      if (error) *error = FileError::Other;
      return nullptr;
    }
    return open(path_ + L"\\" + toWide(name), error);
  }

  bool remove() override {
    if (!handle_) return false;
    // A read-only file refuses this, as DeleteFile does; a folder that is
    // not empty too. Done on close, when this handle was the last one.
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool marked =
        SetFileInformationByHandle(handle_.get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
    handle_.reset();
    if (!marked) return false;
    // Another program's handle that shares deletion keeps the name until
    // it closes; the entry is then still there.
    return GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
  }

 private:
  // The folder's members as the open handle lists them: the folder listed is
  // the one opened, whatever happened to its path meanwhile.
  FolderListing listThroughHandle() {
    FolderListing listing;
    alignas(FILE_ID_BOTH_DIR_INFO) char buffer[64 * 1024];
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;; kind = FileIdBothDirectoryInfo) {
      if (!GetFileInformationByHandleEx(handle_.get(), kind, buffer, sizeof buffer)) {
        listing.failed = GetLastError() != ERROR_NO_MORE_FILES;
        return listing;
      }
      for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
        const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") {
          if (auto sjis = win32::toSjis(name)) {
            listing.names.push_back(std::move(*sjis));
          } else {
            ++listing.unrepresentable;
          }
        }
        if (entry->NextEntryOffset == 0) break;
        offset += entry->NextEntryOffset;
      }
    }
  }

  Win32RemovalEntry(std::wstring path, UniqueFileHandle handle, DWORD attributes)
      : path_(std::move(path)), handle_(std::move(handle)), attributes_(attributes) {}

  std::wstring path_;
  UniqueFileHandle handle_;
  DWORD attributes_;
};

}  // namespace

std::unique_ptr<RemovalEntry> Win32Platform::openForRemoval(const std::string& path, FileError* error) {
  // "\\?\" takes the path as it is: it must already be absolute, with one
  // separator between names and no "." or ".." to resolve.
  if (!hasDriveName(path) || path.size() < 3 || !isPathSeparator(path[2])) {
    if (error) *error = FileError::Other;
    return nullptr;
  }
  std::string literal = path.substr(0, 2);
  for (std::string_view part : pathNames(std::string_view(path).substr(3))) {
    if (part == "." || part == "..") {
      if (error) *error = FileError::Other;
      return nullptr;
    }
    literal.append(1, '\\').append(part);
  }
  if (literal.size() == 2) literal += '\\';
  return Win32RemovalEntry::open(L"\\\\?\\" + toWide(literal), error);
}

}  // namespace platform

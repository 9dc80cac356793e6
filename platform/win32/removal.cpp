// Entries opened for removal: the first by its "\\?\" path, every member
// from its held folder by NtCreateFile (held_folders.h), none of them
// followed when it is a reparse point, each held without delete sharing so
// that nobody renames or replaces it meanwhile, and deleted through its own
// handle.
#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <string_view>

#include "core/sjis.h"
#include "platform/win32/file_errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/held_folders.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

using win32::toWide;
using win32::UniqueFileHandle;

// DELETE to remove it through this handle, FILE_LIST_DIRECTORY to list a
// folder through it; no FILE_SHARE_DELETE, so no other program can rename
// it, or the folders above what it holds, while it is open.
constexpr ACCESS_MASK kRemovalAccess = DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kRemovalShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

class Win32RemovalEntry final : public RemovalEntry {
 public:
  // The entry at `path` ("\\?\X:\..."), or null with the cause.
  static std::unique_ptr<RemovalEntry> openPath(std::wstring path, FileError* error) {
    UniqueFileHandle handle(CreateFileW(path.c_str(), kRemovalAccess, kRemovalShare, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
      win32::reportLastError(error);
      return nullptr;
    }
    std::wstring where = win32::finalPathOf(handle.get());
    if (where.empty()) where = path.substr(4);  // the "\\?\" path, as opened
    return made(std::move(handle), std::move(where), error);
  }

  uint32_t attributes() override { return handle_ ? information_.dwFileAttributes : kInvalidAttributes; }
  FileIdentity identity() override { return win32::identityOf(information_); }

  std::string finalPath() override {
    if (!handle_) return {};
    return win32::toSjis(win32::finalPathOf(handle_.get())).value_or(std::string());
  }

  std::optional<FolderListing> list() override {
    // A link is never listed through: that would be its target's listing.
    if (!handle_ || (attributes() & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
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
    const std::wstring wide = toWide(name);
    UniqueFileHandle member = win32::openInFolder(
        handle_.get(), wide, {kRemovalAccess, kRemovalShare, FILE_OPEN, FILE_OPEN_FOR_BACKUP_INTENT}, error);
    if (!member) return nullptr;
    return made(std::move(member), where_.empty() ? where_ : where_ + L"\\" + wide, error);
  }

  bool remove() override {
    if (!handle_) return false;
    // A read-only file refuses this, as DeleteFile does; a folder that is
    // not empty too. Done on close, when this handle was the last one.
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool marked =
        SetFileInformationByHandle(handle_.get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
    handle_.reset();
    // Another program's handle that shares deletion keeps the name until
    // it closes; the entry is then still there.
    return marked && gone();
  }

  bool moveTo(const std::string& to) override {
    auto target = win32::literalPath(to);
    if (!handle_ || !target) return false;
    // The native form of the target: "\??\X:\...".
    const std::wstring name = L"\\??\\" + target->substr(4);
    std::string buffer(offsetof(FILE_RENAME_INFO, FileName) + (name.size() + 1) * sizeof(wchar_t), '\0');
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    name.copy(rename->FileName, name.size());
    const bool moved = SetFileInformationByHandle(handle_.get(), FileRenameInfo, rename,
                                                  static_cast<DWORD>(buffer.size())) != 0;
    handle_.reset();
    return moved;
  }

 private:
  static std::unique_ptr<RemovalEntry> made(UniqueFileHandle handle, std::wstring where, FileError* error) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle.get(), &information)) {
      win32::reportLastError(error);
      return nullptr;
    }
    return std::unique_ptr<RemovalEntry>(new Win32RemovalEntry(std::move(handle), std::move(where), information));
  }

  // Whether the name is gone, asked at the place the entry was found, with
  // every link on the way resolved: a link re-pointed since leads the
  // question nowhere else. Only the answer depends on it.
  bool gone() const {
    if (where_.empty()) return false;
    const std::wstring literal = where_.starts_with(L"\\\\") ? where_ : L"\\\\?\\" + where_;
    return GetFileAttributesW(literal.c_str()) == INVALID_FILE_ATTRIBUTES;
  }

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

  Win32RemovalEntry(UniqueFileHandle handle, std::wstring where, const BY_HANDLE_FILE_INFORMATION& information)
      : handle_(std::move(handle)), where_(std::move(where)), information_(information) {}

  UniqueFileHandle handle_;
  // Where it was found: the final path of the first entry, then its
  // folders' names; empty when that could not be told.
  std::wstring where_;
  BY_HANDLE_FILE_INFORMATION information_;
};

}  // namespace

std::unique_ptr<RemovalEntry> Win32Platform::openForRemoval(const std::string& path, FileError* error) {
  // "\\?\" takes the path as it is: it must already be absolute, with one
  // separator between names and no "." or ".." to resolve.
  auto literal = win32::literalPath(path);
  if (!literal) {
    if (error) *error = FileError::Other;
    return nullptr;
  }
  return Win32RemovalEntry::openPath(std::move(*literal), error);
}

}  // namespace platform

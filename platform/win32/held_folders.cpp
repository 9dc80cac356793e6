#include "platform/win32/held_folders.h"

#include <winternl.h>

#include <vector>

#include "core/sjis.h"
#include "platform/win32/file_errors.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {

namespace {

void reportStatus(NTSTATUS status, FileError* error) {
  SetLastError(RtlNtStatusToDosError(status));
  reportLastError(error);
}

bool failWith(FileError* error, FileError cause) {
  if (error) *error = cause;
  return false;
}

// The names of a relative path; "\\" and "/" separate, empty names drop.
std::vector<std::wstring_view> namesOf(std::wstring_view relative) {
  std::vector<std::wstring_view> names;
  size_t start = 0;
  for (size_t i = 0; i <= relative.size(); ++i) {
    if (i < relative.size() && relative[i] != L'\\' && relative[i] != L'/') continue;
    if (i > start) names.push_back(relative.substr(start, i - start));
    start = i + 1;
  }
  return names;
}

// A plain folder: a folder, not a link. Asked for the basic information
// alone: the whole of GetFileInformationByHandle asks the volume for its
// serial number too, a millisecond under Wine.
bool isPlainFolder(HANDLE handle) {
  FILE_BASIC_INFO information;
  return GetFileInformationByHandleEx(handle, FileBasicInfo, &information, sizeof information) &&
         (information.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
             FILE_ATTRIBUTE_DIRECTORY;
}

}  // namespace

UniqueFileHandle openInFolder(HANDLE folder, std::wstring_view name, const OpenInFolder& how, FileError* error,
                              bool* created) {
  UNICODE_STRING objectName;
  objectName.Buffer = const_cast<wchar_t*>(name.data());
  objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  objectName.MaximumLength = objectName.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK status{};
  HANDLE opened = nullptr;
  const NTSTATUS result =
      NtCreateFile(&opened, how.access, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, how.share, how.disposition,
                   how.options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (result < 0) {
    reportStatus(result, error);
    return {};
  }
  if (created) *created = status.Information == FILE_CREATED;
  return UniqueFileHandle(opened);
}

std::optional<std::wstring> literalPath(const std::string& path) {
  if (!hasDriveName(path) || path.size() < 3 || !isPathSeparator(path[2])) return std::nullopt;
  std::string literal = path.substr(0, 2);
  for (std::string_view part : pathNames(std::string_view(path).substr(3))) {
    if (part == "." || part == "..") return std::nullopt;
    literal.append(1, '\\').append(part);
  }
  if (literal.size() == 2) literal += '\\';
  return L"\\\\?\\" + toWide(literal);
}

std::wstring finalPathOf(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length);  // the size needed, terminator included
  }
  // "\\?\C:\..." is given back as "C:\..."; a share keeps its "\\?\UNC\".
  if (path.size() >= 6 && path.starts_with(L"\\\\?\\") && path[5] == L':') path.erase(0, 4);
  return path;
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& information) {
  return {information.dwVolumeSerialNumber,
          (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

bool samePathText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

UniqueFileHandle openRootFolder(const std::string& path, std::wstring& finalPath, FileError* error) {
  auto literal = literalPath(path);
  if (!literal) {
    failWith(error, FileError::Other);
    return {};
  }
  UniqueFileHandle root(CreateFileW(literal->c_str(), kHeldFolder.access, kHeldFolder.share, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!root) {
    reportLastError(error);
    return {};
  }
  if (!isPlainFolder(root.get())) {
    failWith(error, FileError::Other);
    return {};
  }
  finalPath = finalPathOf(root.get());
  if (finalPath.empty()) {
    failWith(error, FileError::Other);
    return {};
  }
  return root;
}

UniqueFileHandle openFoldersBelow(HANDLE root, const std::wstring& rootPath, std::wstring_view relative,
                                  std::wstring& leaf, std::wstring& leafPath, FileError* error) {
  const std::vector<std::wstring_view> names = namesOf(relative);
  if (names.empty()) {
    failWith(error, FileError::Other);
    return {};
  }
  UniqueFileHandle folder;
  std::wstring path = rootPath;
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    const OpenInFolder how{kHeldFolder.access, kHeldFolder.share, FILE_OPEN,
                           FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT};
    UniqueFileHandle next = openInFolder(folder ? folder.get() : root, names[i], how, error);
    if (!next) return {};
    path += L'\\';
    path += names[i];
    if (!isPlainFolder(next.get())) {
      failWith(error, FileError::Other);
      return {};
    }
    folder = std::move(next);
  }
  // Asked once, of the last folder: a link on the way that the file system
  // follows unseen shows there as well.
  if (folder && !samePathText(finalPathOf(folder.get()), path)) {
    failWith(error, FileError::Other);
    return {};
  }
  if (!folder) {
    // The file lies in the root itself: a handle of its own, so that the
    // caller owns what it gets in every case.
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), root, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      reportLastError(error);
      return {};
    }
    folder.reset(copy);
  }
  leaf.assign(names.back());
  leafPath = path + L'\\' + leaf;
  return folder;
}

}  // namespace platform::win32

#include "platform/win32/listing.h"

#include <windows.h>

#include "platform/win32/file_errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {

std::optional<FolderListing> listMatches(const std::wstring& pattern,
                                         const std::function<uint32_t()>& folderAttributes) {
  WIN32_FIND_DATAW entry;
  UniqueFind find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
  if (!find) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) {
      // Nothing matched in a folder without "." and "..", such as an empty
      // drive root: an empty listing.
      if (isFolderAttributes(folderAttributes())) return FolderListing();
      return std::nullopt;
    }
    // No such folder, or a file rather than a folder.
    if (fileErrorOf(code) == FileError::Missing || code == ERROR_DIRECTORY) return std::nullopt;
    FolderListing broken;
    broken.failed = true;
    return broken;
  }
  FolderListing listing;
  do {
    if (auto name = toSjis(entry.cFileName)) {
      listing.names.push_back(std::move(*name));
    } else {
      ++listing.unrepresentable;
    }
  } while (FindNextFileW(find.get(), &entry));
  listing.failed = GetLastError() != ERROR_NO_MORE_FILES;
  return listing;
}

}  // namespace platform::win32

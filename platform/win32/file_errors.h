#pragma once
// The causes the program tells apart, from Win32 error codes and COM results.

#include <windows.h>

#include "platform/platform.h"

namespace platform::win32 {

inline FileError fileErrorOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
      return FileError::Missing;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return FileError::Exists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
      return FileError::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return FileError::InUse;
    default:
      return FileError::Other;
  }
}

// The cause a COM result carries: the shell and COM's storage give a file's
// failure as a Win32 error code (storage errors keep the code in their low
// word: STG_E_PATHNOTFOUND is ERROR_PATH_NOT_FOUND).
inline FileError fileErrorOfResult(HRESULT result) {
  const auto facility = HRESULT_FACILITY(result);
  if (facility != FACILITY_WIN32 && facility != FACILITY_STORAGE) return FileError::Other;
  return fileErrorOf(HRESULT_CODE(result));
}

// Stores the cause of the failure just reported by the system, when asked.
inline void reportLastError(FileError* error) {
  if (error) *error = fileErrorOf(GetLastError());
}

}  // namespace platform::win32

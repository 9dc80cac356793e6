#pragma once
// Functions taken at run time: those of later Windows versions, so that the
// image still starts on the systems without them, and every function of a
// DLL that Windows does not always load from its own folder (UxTheme, WinMM,
// ...). Such a DLL is never imported by the image: the loader would look
// for it beside the image first, which may be a download folder or the
// temp folder, where anyone can put a DLL of that name.

#include <windows.h>

#include <string>

namespace platform::win32 {

// A function of a module the process has loaded already (user32.dll); null
// where the system has no such function.
template <class Function>
Function loadedFunction(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

// The module `name` of the system folder, loaded once and kept; never from
// the image's folder or the current directory. Null where the system has
// no such module.
inline HMODULE systemModule(const wchar_t* name) {
  if (HMODULE loaded = GetModuleHandleW(name)) return loaded;
  if (HMODULE loaded = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return loaded;
  // A Windows 7 without its update KB2533623 knows no search flags: the
  // full path of the system folder then names the one file meant.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryExW((std::wstring(folder) + L"\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A function of the system folder's module `module`; null where the system
// has no such module or function.
template <class Function>
Function systemFunction(const wchar_t* module, const char* name) {
  HMODULE handle = systemModule(module);
  if (!handle) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

}  // namespace platform::win32

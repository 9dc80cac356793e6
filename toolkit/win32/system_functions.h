#pragma once
// Functions of later Windows versions, looked up at run time so that the
// image still starts on the systems without them.

#include <windows.h>

namespace toolkit::win32 {

// A function of a module the process has loaded (user32.dll); null where
// the system has no such function.
template <class Function>
Function loadedFunction(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

// A function of a module of the system folder, loaded once and kept (never
// from the current directory, which is the medium's); null where the system
// has no such module or function.
template <class Function>
Function systemFunction(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) handle = LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!handle) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

}  // namespace toolkit::win32

#pragma once
// The handle kinds of the Win32 backend, each owned by UniqueHandle.

#include <windows.h>

#include <cstdio>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle invalid() { return nullptr; }
  static void close(Handle key) { RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

struct FindTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle find) { FindClose(find); }
};
using UniqueFind = UniqueHandle<FindTraits>;

// Files opened with CreateFileW: "none" is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle file) { CloseHandle(file); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

// Process, thread and event handles: "none" is null for these.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

struct FileStreamTraits {
  using Handle = FILE*;
  static Handle invalid() { return nullptr; }
  static void close(Handle file) { fclose(file); }
};
using UniqueFileStream = UniqueHandle<FileStreamTraits>;

struct HookTraits {
  using Handle = HHOOK;
  static Handle invalid() { return nullptr; }
  static void close(Handle hook) { UnhookWindowsHookEx(hook); }
};
using UniqueHook = UniqueHandle<HookTraits>;

template <class Interface>
struct ComTraits {
  using Handle = Interface*;
  static Handle invalid() { return nullptr; }
  static void close(Handle object) { object->Release(); }
};
template <class Interface>
using ComPtr = UniqueHandle<ComTraits<Interface>>;

}  // namespace platform::win32

#pragma once
// The window and GDI handles of the Win32 toolkit, owned through the one
// handle owner the Win32 backends share.

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "toolkit/win32/theme_functions.h"

namespace toolkit::win32 {

using platform::win32::UniqueHandle;

struct WindowTraits {
  using Handle = HWND;
  static HWND invalid() { return nullptr; }
  static void close(HWND window) { DestroyWindow(window); }
};

template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static T invalid() { return nullptr; }
  static void close(T object) { DeleteObject(object); }
};

struct ThemeTraits {
  using Handle = HTHEME;
  static HTHEME invalid() { return nullptr; }
  static void close(HTHEME theme) { themeFunctions().close(theme); }
};

using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueTheme = UniqueHandle<ThemeTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;

// A window's device context, released when the owner goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context compatible with another, deleted when the owner
// goes.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace toolkit::win32

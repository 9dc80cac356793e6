#pragma once
// Reading real windows back for the Win32 toolkit's tests.

#include <windows.h>

#include <string>

#include "toolkit/toolkit.h"

inline HWND windowOf(const toolkit::Form& form) { return reinterpret_cast<HWND>(form.handle()); }

// The child window of a control: its id is 100 + its index in the layout.
inline HWND childOf(const toolkit::Form& form, const std::string& name) {
  const auto& controls = form.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i]->name() == name) return GetDlgItem(windowOf(form), 100 + static_cast<int>(i));
  }
  return nullptr;
}

inline std::wstring classOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

inline std::wstring textOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A child's rectangle in its parent's client coordinates.
inline toolkit::Bounds boundsOf(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Serves what is queued (painting, posted messages) without waiting.
inline void drainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Saves what the screen shows of a window as a 24-bit .bmp file.
bool saveWindowPicture(HWND window, const std::string& path);

#pragma once
// The visual styles' functions (UxTheme), taken from the system folder at
// run time: UxTheme is not one of the DLLs Windows always loads from there.
// Each is null where the system has none; a null `open` means no theme, and
// the toolkit draws without one.

#include <windows.h>

#include <uxtheme.h>

#include "platform/win32/system_functions.h"

namespace toolkit::win32 {

struct ThemeFunctions {
  decltype(&OpenThemeData) open;
  decltype(&CloseThemeData) close;
  decltype(&DrawThemeBackground) drawBackground;
  decltype(&GetThemeBackgroundContentRect) backgroundContentRect;
};

inline const ThemeFunctions& themeFunctions() {
  using platform::win32::systemFunction;
  static const ThemeFunctions functions{
      systemFunction<decltype(&OpenThemeData)>(L"uxtheme.dll", "OpenThemeData"),
      systemFunction<decltype(&CloseThemeData)>(L"uxtheme.dll", "CloseThemeData"),
      systemFunction<decltype(&DrawThemeBackground)>(L"uxtheme.dll", "DrawThemeBackground"),
      systemFunction<decltype(&GetThemeBackgroundContentRect)>(L"uxtheme.dll", "GetThemeBackgroundContentRect")};
  return functions;
}

// The theme of `classes` for the window; null without visual styles.
inline HTHEME openTheme(HWND window, const wchar_t* classes) {
  const ThemeFunctions& theme = themeFunctions();
  if (!theme.open || !theme.close || !theme.drawBackground || !theme.backgroundContentRect) return nullptr;
  return theme.open(window, classes);
}

}  // namespace toolkit::win32

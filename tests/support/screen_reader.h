#pragma once
// A window read as a screen reader reads it (Windows only): the object of
// its client area through AccessibleObjectFromWindow, then its role, name,
// value and state. Asked from another process, the calls go through COM:
// the caller's thread needs an apartment. Link oleacc.

#include <windows.h>

#include <oleacc.h>

#include <string>

// IID_IAccessible, written out: the import library's is data of the DLL,
// which a static link misreads.
inline constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What was read; a role or state of 0 and empty texts where nothing was.
struct ScreenReaderView {
  LONG role = 0;
  std::wstring name;
  std::wstring value;
  LONG state = 0;
};

inline ScreenReaderView readAsAScreenReader(HWND window) {
  ScreenReaderView view;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&object)))) {
    return view;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) view.role = role.lVal;
  VARIANT state{};
  if (SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4) view.state = state.lVal;
  BSTR text = nullptr;
  if (object->get_accName(self, &text) == S_OK) view.name = text;
  SysFreeString(text);
  text = nullptr;
  if (object->get_accValue(self, &text) == S_OK) view.value = text;
  SysFreeString(text);
  object->Release();
  return view;
}

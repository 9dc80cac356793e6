// Shell links (.lnk files) through the shell's IShellLinkW object.
#include <windows.h>
#include <shlobj.h>

#include "platform/win32/com_initialization.h"
#include "platform/win32/file_errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

using win32::ComPtr;
using win32::toSjis;
using win32::toWide;

// IPersistFile takes the link's path in a MAX_PATH buffer; a longer path is
// refused instead of being cut short.
std::optional<std::wstring> linkFilePath(const std::string& linkPath) {
  std::wstring path = toWide(linkPath);
  if (path.size() + 1 > MAX_PATH) return std::nullopt;
  return path;
}

struct LinkObject {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
};

std::optional<LinkObject> createLinkObject() {
  LinkObject object;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(object.link.put()))))
    return std::nullopt;
  if (FAILED(object.link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(object.file.put()))))
    return std::nullopt;
  return object;
}

// The getters fill a caller's buffer; links keep paths and arguments well
// inside this size.
constexpr int kLinkTextUnits = 1024;

template <class Getter>
std::optional<std::string> linkText(Getter get) {
  std::wstring buffer(kLinkTextUnits, L'\0');
  if (FAILED(get(buffer.data(), kLinkTextUnits))) return std::nullopt;
  buffer.resize(wcsnlen(buffer.data(), buffer.size()));
  return toSjis(buffer);  // nullopt for text without a Shift-JIS form
}

}  // namespace

bool Win32Platform::writeShellLink(const std::string& linkPath, const ShellLink& link, FileError* error) {
  auto failed = [error](HRESULT result) {
    if (error) *error = win32::fileErrorOfResult(result);
    return false;
  };
  auto path = linkFilePath(linkPath);
  if (!path) return failed(E_INVALIDARG);
  win32::ComInitialization com;
  auto object = createLinkObject();
  if (!object) return failed(E_FAIL);
  IShellLinkW* shellLink = object->link.get();
  HRESULT result = shellLink->SetPath(toWide(link.target).c_str());
  if (SUCCEEDED(result)) result = shellLink->SetArguments(toWide(link.arguments).c_str());
  if (SUCCEEDED(result)) result = shellLink->SetWorkingDirectory(toWide(link.workingDirectory).c_str());
  if (SUCCEEDED(result)) result = shellLink->SetShowCmd(link.showCommand);
  // Saving writes the file: its failure carries the file's cause.
  if (SUCCEEDED(result)) result = object->file.get()->Save(path->c_str(), TRUE);
  if (SUCCEEDED(result)) return true;
  return failed(result);
}

std::optional<ShellLink> Win32Platform::readShellLink(const std::string& linkPath) {
  auto path = linkFilePath(linkPath);
  if (!path) return std::nullopt;
  win32::ComInitialization com;
  auto object = createLinkObject();
  if (!object || FAILED(object->file.get()->Load(path->c_str(), STGM_READ))) return std::nullopt;
  IShellLinkW* shellLink = object->link.get();
  auto target = linkText([&](wchar_t* buffer, int units) { return shellLink->GetPath(buffer, units, nullptr, 0); });
  auto arguments = linkText([&](wchar_t* buffer, int units) { return shellLink->GetArguments(buffer, units); });
  auto directory =
      linkText([&](wchar_t* buffer, int units) { return shellLink->GetWorkingDirectory(buffer, units); });
  int showCommand = 0;
  if (!target || !arguments || !directory || FAILED(shellLink->GetShowCmd(&showCommand))) return std::nullopt;
  return ShellLink{*target, *arguments, *directory, showCommand};
}

}  // namespace platform

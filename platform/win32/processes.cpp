// Starting programs and opening files with the player's own rights. An
// administrator's menu runs elevated (its manifest asks for the highest
// rights available, which the installation's folder may need), while the
// player's unelevated rights exist apart; a game or document started from it
// would run elevated too: a game then keeps its saves elsewhere than when
// started from the Start menu, and whatever an unelevated program of the
// player put in its place would run with an administrator's rights. So when
// this process is elevated above the player, both go through the desktop's
// shell, which starts them with its own, the player's, rights; where no
// shell answers, they start with a token of normal-user rights made from
// this process's own; where none can be made, nothing starts. Whenever this
// process is not elevated, they start directly, as before.
#include <windows.h>
#include <exdisp.h>
#include <sddl.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <winsafer.h>

#include "platform/win32/com_initialization.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

using win32::ComPtr;
using win32::toWide;

// Elevated while a linked unelevated token exists: an administrator under
// UAC. An administrator without UAC has only the one token (the shell runs
// with it too); before Windows Vista the question fails.
bool elevatedAboveThePlayer() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  win32::UniqueKernelHandle token(raw);
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size) &&
         type == TokenElevationTypeFull;
}

// A VARIANT owned for the span of one call.
struct Variant {
  VARIANT value;
  Variant() { VariantInit(&value); }
  explicit Variant(const std::wstring& text) : Variant() {
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text.c_str());
  }
  explicit Variant(long number) : Variant() {
    value.vt = VT_I4;
    value.lVal = number;
  }
  ~Variant() { VariantClear(&value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// The automation object of the desktop's own folder view, in the shell's
// process: what its ShellExecute starts runs with the shell's rights. Null
// when no desktop shell is registered (none runs) or a step fails.
ComPtr<IShellDispatch2> desktopShell() {
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(windows.put())))) {
    return {};
  }
  Variant desktop(static_cast<long>(CSIDL_DESKTOP));
  Variant none;
  long window = 0;
  ComPtr<IDispatch> found;
  if (windows.get()->FindWindowSW(&desktop.value, &none.value, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.put()) !=
          S_OK ||
      !found) {
    return {};
  }
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
  if (FAILED(found.get()->QueryInterface(IID_PPV_ARGS(services.put()))) ||
      FAILED(services.get()->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.put()))) ||
      FAILED(browser.get()->QueryActiveShellView(view.put())) ||
      FAILED(view.get()->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.put()))) ||
      FAILED(background.get()->QueryInterface(IID_PPV_ARGS(folderView.put()))) ||
      FAILED(folderView.get()->get_Application(application.put())) ||
      FAILED(application.get()->QueryInterface(IID_PPV_ARGS(shell.put())))) {
    return {};
  }
  return shell;
}

// Asks the desktop's shell to open the existing file `file` with
// `parameters` in `directory`, shown by `show`. False, having asked
// nothing, for a missing file (the shell would show its own error), and
// when no shell answers.
bool startAsThePlayer(const std::wstring& file, const std::wstring& parameters, const std::wstring& directory,
                      int show) {
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  win32::ComInitialization com;
  ComPtr<IShellDispatch2> shell = desktopShell();
  if (!shell) return false;
  Variant name(file);
  Variant arguments(parameters);
  Variant folder(directory);
  Variant verb(std::wstring(L"open"));
  Variant shown(static_cast<long>(show));
  return SUCCEEDED(shell.get()->ShellExecute(name.value.bstrVal, arguments.value, folder.value, verb.value, shown.value));
}

std::wstring currentFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  if (length >= folder.size()) {
    folder.resize(length);
    length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  }
  folder.resize(length < folder.size() ? length : 0);
  return folder;
}

// The shell finds files by full paths: a relative one is resolved against
// the current directory, as a direct start would.
std::wstring fullPath(const std::wstring& path) {
  DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (!length) return path;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  full.resize(length < full.size() ? length : 0);
  return full.empty() ? path : full;
}

// What follows the program in its command line: the shell puts the
// program's own (quoted) path in front of the parameters itself.
std::wstring argumentsAfter(const std::wstring& commandLine, const std::wstring& program) {
  std::wstring rest = commandLine;
  if (rest.starts_with(program)) {
    rest.erase(0, program.size());
  } else if (rest.starts_with(L"\"" + program + L"\"")) {
    rest.erase(0, program.size() + 2);
  }
  const size_t start = rest.find_first_not_of(L' ');
  return start == std::wstring::npos ? std::wstring() : rest.substr(start);
}

// A token the process may start programs with that is not elevated: its
// rights, and no more, are a normal user's.
bool isUnelevated(HANDLE token) {
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && !elevation.TokenIsElevated;
}

// This process's own token at the normal-user level (administrators'
// membership for denying only, no privileges) and medium integrity: what
// Windows makes from an elevated token.
win32::UniqueKernelHandle saferNormalUserToken() {
  SAFER_LEVEL_HANDLE level = nullptr;
  if (!SaferCreateLevel(SAFER_SCOPEID_USER, SAFER_LEVELID_NORMALUSER, SAFER_LEVEL_OPEN, &level, nullptr)) return {};
  HANDLE raw = nullptr;
  const bool computed = SaferComputeTokenFromLevel(level, nullptr, &raw, 0, nullptr);
  SaferCloseLevel(level);
  if (!computed) return {};
  win32::UniqueKernelHandle token(raw);
  PSID medium = nullptr;
  if (!ConvertStringSidToSidW(L"S-1-16-8192", &medium)) return {};
  TOKEN_MANDATORY_LABEL label{};
  label.Label.Attributes = SE_GROUP_INTEGRITY;
  label.Label.Sid = medium;
  const bool lowered =
      SetTokenInformation(token.get(), TokenIntegrityLevel, &label, sizeof label + GetLengthSid(medium)) != 0;
  LocalFree(medium);
  if (!lowered || !isUnelevated(token.get())) return {};
  return token;
}

// The unelevated token linked to this elevated one. Windows gives it as a
// primary token only to a service; Wine, which has no Safer levels, does.
win32::UniqueKernelHandle linkedToken() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  win32::UniqueKernelHandle own(raw);
  TOKEN_LINKED_TOKEN linked{};
  DWORD size = 0;
  if (!GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size)) return {};
  win32::UniqueKernelHandle impersonation(linked.LinkedToken);
  HANDLE primary = nullptr;
  if (!DuplicateTokenEx(impersonation.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary,
                        &primary)) {
    return {};
  }
  win32::UniqueKernelHandle token(primary);
  return isUnelevated(token.get()) ? std::move(token) : win32::UniqueKernelHandle();
}

// Starts `application` with `token`; false when it did not start.
bool startWithToken(HANDLE token, const std::wstring& application, std::wstring commandLine, uint32_t creationFlags,
                    const std::wstring& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  const wchar_t* program = application.empty() ? nullptr : application.c_str();
  const wchar_t* folder = directory.empty() ? nullptr : directory.c_str();
  const bool ok = token ? CreateProcessAsUserW(token, program, commandLine.data(), nullptr, nullptr, FALSE,
                                               creationFlags, nullptr, folder, &startup, &started)
                        : CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                                         folder, &startup, &started);
  if (!ok) return false;
  // Nobody waits for the program: its handles are closed at once.
  win32::UniqueKernelHandle process(started.hProcess);
  win32::UniqueKernelHandle thread(started.hThread);
  return true;
}

bool failed(StartFailure* failure, StartFailure cause) {
  if (failure) *failure = cause;
  return false;
}

std::wstring systemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

}  // namespace

win32::UniqueKernelHandle Win32Platform::unelevatedToken() const {
  if (!starts_.normalUserToken) return {};
  if (auto token = saferNormalUserToken()) return token;
  return linkedToken();
}

bool Win32Platform::createProcess(const std::string& application, const std::string& commandLine,
                                  uint32_t creationFlags, const std::string& currentDirectory,
                                  StartFailure* failure) {
  const std::wstring wideApplication = toWide(application);
  const std::wstring wideDirectory = toWide(currentDirectory);
  const std::wstring wideCommandLine = toWide(commandLine);
  if (!elevatedAboveThePlayer()) {
    return startWithToken(nullptr, wideApplication, wideCommandLine, creationFlags, wideDirectory) ||
           failed(failure, StartFailure::Other);
  }
  // A program that is not there is not started in any way.
  if (!wideApplication.empty() && GetFileAttributesW(wideApplication.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return failed(failure, StartFailure::Other);
  }
  if (starts_.desktopShell && !wideApplication.empty() &&
      startAsThePlayer(fullPath(wideApplication), argumentsAfter(wideCommandLine, wideApplication),
                       wideDirectory.empty() ? currentFolder() : fullPath(wideDirectory), SW_SHOWNORMAL)) {
    return true;
  }
  win32::UniqueKernelHandle token = unelevatedToken();
  if (!token) return failed(failure, StartFailure::OnlyElevated);
  return startWithToken(token.get(), wideApplication, wideCommandLine, creationFlags, wideDirectory) ||
         failed(failure, StartFailure::Other);
}

bool Win32Platform::shellOpen(const std::string& file, StartFailure* failure) {
  const std::wstring wideFile = toWide(file);
  if (!elevatedAboveThePlayer()) {
    // Some associated handlers are shell extensions that need COM.
    win32::ComInitialization com;
    HINSTANCE result = ShellExecuteW(nullptr, L"open", wideFile.c_str(), nullptr, nullptr, SW_SHOW);
    // Larger than 32 means success.
    return reinterpret_cast<INT_PTR>(result) > 32 || failed(failure, StartFailure::Other);
  }
  const std::wstring full = fullPath(wideFile);
  if (GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return failed(failure, StartFailure::Other);
  if (starts_.desktopShell && startAsThePlayer(full, L"", currentFolder(), SW_SHOW)) return true;
  // The system's own "open" run by a program of the system folder that
  // starts with the player's rights: the shell's ShellExec_RunDLL.
  win32::UniqueKernelHandle token = unelevatedToken();
  const std::wstring system = systemFolder();
  if (!token || system.empty()) return failed(failure, StartFailure::OnlyElevated);
  const std::wstring runner = system + L"\\rundll32.exe";
  const std::wstring commandLine = L"\"" + runner + L"\" shell32.dll,ShellExec_RunDLL \"" + full + L"\"";
  return startWithToken(token.get(), runner, commandLine, 0, currentFolder()) || failed(failure, StartFailure::Other);
}

}  // namespace platform

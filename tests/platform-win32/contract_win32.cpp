// The contract suite's environment on the real Windows: a fresh folder under
// the temporary directory and a fresh key under HKCU\software, both removed
// when the environment ends.
#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "automation/driver.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/platform/contract.h"

namespace {

using platform::win32::toSjis;
using platform::win32::toWide;

constexpr wchar_t kRegistryParent[] = L"software\\discmenu-contract";

// Removes a folder and everything under it. Links are removed as links:
// the walk never enters them, so their targets are left alone.
void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  platform::win32::UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (find) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
      const DWORD kind = entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
      if (kind == FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(path);
      } else if (kind != 0) {
        RemoveDirectoryW(path.c_str());
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find.get(), &entry));
  }
  find.reset();
  RemoveDirectoryW(folder.c_str());
}

std::wstring currentDirectoryWide() {
  std::wstring buffer(GetCurrentDirectoryW(0, nullptr), L'\0');
  buffer.resize(GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data()));
  return buffer;
}

std::wstring fullPath(const std::wstring& path) {
  std::wstring buffer(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  buffer.resize(GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr));
  return buffer;
}

bool isLinkedFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const DWORD wanted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & wanted) == wanted;
}

// The mount-point reparse data of a junction; the system headers keep this
// layout to the driver kit.
struct MountPointReparseData {
  DWORD ReparseTag;
  WORD ReparseDataLength;
  WORD Reserved;
  WORD SubstituteNameOffset;
  WORD SubstituteNameLength;
  WORD PrintNameOffset;
  WORD PrintNameLength;
  WCHAR PathBuffer[1];
};

bool setMountPoint(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  platform::win32::UniqueFileHandle folder(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                                         nullptr));
  bool linked = false;
  if (folder) {
    const std::wstring substitute = L"\\??\\" + target;
    const size_t substituteBytes = substitute.size() * sizeof(wchar_t);
    const size_t printBytes = target.size() * sizeof(wchar_t);
    // Both names are stored NUL-terminated, one after the other.
    const size_t pathBytes = substituteBytes + printBytes + 2 * sizeof(wchar_t);
    std::string buffer(offsetof(MountPointReparseData, PathBuffer) + pathBytes, '\0');
    auto* data = reinterpret_cast<MountPointReparseData*>(buffer.data());
    data->ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    data->ReparseDataLength = static_cast<WORD>(buffer.size() - offsetof(MountPointReparseData, SubstituteNameOffset));
    data->SubstituteNameLength = static_cast<WORD>(substituteBytes);
    data->PrintNameOffset = static_cast<WORD>(substituteBytes + sizeof(wchar_t));
    data->PrintNameLength = static_cast<WORD>(printBytes);
    std::wstring names = substitute + L'\0' + target + L'\0';
    memcpy(data->PathBuffer, names.data(), pathBytes);
    DWORD returned = 0;
    linked = DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                             nullptr, 0, &returned, nullptr) != 0;
  }
  folder.reset();
  if (linked && isLinkedFolder(link)) return true;
  RemoveDirectoryW(link.c_str());
  return false;
}

std::wstring foreignFolder(const std::string& folder) {
  return toWide(folder) + L"\\x\u00A5..\u00A5..\u00A5victim";
}

bool underWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

class Win32ContractEnvironment final : public ContractEnvironment {
 public:
  Win32ContractEnvironment() : startDirectory_(currentDirectoryWide()) {
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    if (!temp.empty() && temp.back() == L'\\') temp.pop_back();
    LARGE_INTEGER tick;
    QueryPerformanceCounter(&tick);
    // The process id and a fine clock make the name unique; the loop covers
    // the unlikely leftover of an earlier run.
    for (unsigned attempt = 0;; ++attempt) {
      leaf_ = L"discmenu-contract-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(tick.QuadPart) + L"-" + std::to_wstring(attempt);
      rootWide_ = temp + L"\\" + leaf_;
      if (CreateDirectoryW(rootWide_.c_str(), nullptr)) break;
    }
    registryKeyWide_ = std::wstring(kRegistryParent) + L"\\" + leaf_;
  }

  ~Win32ContractEnvironment() override {
    // A test may leave the current directory inside the root, which would
    // keep the root from being removed.
    SetCurrentDirectoryW(startDirectory_.c_str());
    // Wine shows a link of Linux as the folder it leads to, and the walk
    // below would enter it.
    for (const std::string& link : linuxLinks_) e2e::runNative("rm -f '" + link + "'");
    removeTree(L"\\\\?\\" + rootWide_);  // literal names: what makeFileNamed made too
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      RegDeleteTreeW(hive, registryKeyWide_.c_str());
      RegDeleteKeyW(hive, registryKeyWide_.c_str());
      RegDeleteKeyW(hive, kRegistryParent);  // fails while other runs keep keys there
    }
  }

  platform::Platform& platform() override { return platform_; }
  std::string root() override { return toSjis(rootWide_).value(); }
  std::string registryRoot() override { return toSjis(registryKeyWide_).value(); }

  bool makeFileNamed(const std::string& folder, const std::string& name, const std::string& bytes) override {
    // "\\?\" keeps the name as it is: no dot or space dropped, no device.
    platform::win32::UniqueFileHandle file(CreateFileW((L"\\\\?\\" + toWide(folder) + L"\\" + toWide(name)).c_str(),
                                                       GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

  bool makeReadOnly(const std::string& path) override {
    const std::wstring wide = toWide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_READONLY) != 0;
  }

  // Linux's /dev/full, which refuses every write for lack of space, as Wine
  // names it; none on Windows.
  std::optional<std::string> fileOnAFullDisk() override {
    using ToDos = WCHAR*(CDECL*)(const char*);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos) return std::nullopt;
    WCHAR* dos = toDos("/dev/full");
    if (!dos) return std::nullopt;
    const std::wstring path = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return toSjis(path);
  }

  // A symbolic link to a folder when the system makes one, otherwise a
  // junction; false when neither gives a link the file system reports as one.
  bool makeJunction(const std::string& link, const std::string& target) override {
    const std::wstring wideLink = fullPath(toWide(link));
    const std::wstring wideTarget = fullPath(toWide(target));
    if (CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
      if (isLinkedFolder(wideLink)) return true;
      RemoveDirectoryW(wideLink.c_str());  // a success that made no link
    }
    return setMountPoint(wideLink, wideTarget);
  }

  bool makeHardLink(const std::string& existing, const std::string& link) override {
    return CreateHardLinkW(toWide(link).c_str(), toWide(existing).c_str(), nullptr) != 0;
  }

  bool makeFollowedLink(const std::string& link, const std::string& target) override {
    if (underWine()) return linuxLink(link, target);
    const DWORD attributes = GetFileAttributesW(toWide(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return makeJunction(link, target);
    }
    return CreateSymbolicLinkW(fullPath(toWide(link)).c_str(), fullPath(toWide(target)).c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
  }

  bool repointLink(const std::string& link, const std::string& target) override {
    if (underWine()) return linuxLink(link, target);
    const std::wstring wide = toWide(link);
    if (!RemoveDirectoryW(wide.c_str()) && !DeleteFileW(wide.c_str())) return false;
    return makeFollowedLink(link, target);
  }

  bool makeForeignNames(const std::string& folder) override {
    const std::wstring wide = toWide(folder);
    platform::win32::UniqueFileHandle file(
        CreateFileW((wide + L"\\\u00C9lan.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    return CreateDirectoryW(foreignFolder(folder).c_str(), nullptr) && file;
  }
  bool enterForeignFolder(const std::string& folder) override {
    return SetCurrentDirectoryW(foreignFolder(folder).c_str()) != 0;
  }
  bool setForeignValue(const std::string& key, const std::string& name) override {
    platform::win32::UniqueRegistryKey opened;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, toWide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, opened.put(),
                        nullptr) != ERROR_SUCCESS)
      return false;
    const std::wstring value = L"C:\\\u00C9lan";
    return RegSetValueExW(opened.get(), toWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

 private:
  // A symbolic link of Linux made, or made to point elsewhere, from the
  // Linux side: Wine follows it and shows it as what it leads to.
  bool linuxLink(const std::string& link, const std::string& target) {
    try {
      const std::string unixLink = e2e::unixPath(toWide(link));
      if (e2e::runNative("ln -sfn '" + e2e::unixPath(toWide(target)) + "' '" + unixLink + "'") != 0) return false;
      linuxLinks_.push_back(unixLink);
      return true;
    } catch (const e2e::DriverError&) {
      return false;
    }
  }

  platform::Win32Platform platform_;
  std::wstring startDirectory_;
  std::wstring leaf_;
  std::wstring rootWide_;
  std::wstring registryKeyWide_;
  std::vector<std::string> linuxLinks_;
};

}  // namespace

std::unique_ptr<ContractEnvironment> makeContractEnvironment() { return std::make_unique<Win32ContractEnvironment>(); }

// Paths, files, temporary folders and the registry for the driver.
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "automation/driver.h"

namespace e2e {

namespace {

constexpr Duration kPollInterval{25};

// Wine's own path conversions, exported by its kernel32; absent on Windows.
using ToDos = WCHAR*(CDECL*)(const char*);
using ToUnix = char*(CDECL*)(const WCHAR*);

template <class Function>
Function wineExport(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

struct RegistryKey {
  HKEY key = nullptr;
  ~RegistryKey() {
    if (key) RegCloseKey(key);
  }
};

}  // namespace

bool waitUntil(const std::function<bool()>& done, Duration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::filesystem::path windowsPath(const std::string& unixPath) {
  auto toDos = wineExport<ToDos>("wine_get_dos_file_name");
  if (!toDos || unixPath.empty() || unixPath[0] != '/') return std::filesystem::path(widen(unixPath));
  WCHAR* dos = toDos(unixPath.c_str());
  if (!dos) throw DriverError("no Windows path for " + unixPath);
  std::filesystem::path path(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return path;
}

std::string unixPath(const std::filesystem::path& windowsPath) {
  auto toUnix = wineExport<ToUnix>("wine_get_unix_file_name");
  if (!toUnix) return narrow(windowsPath.wstring());
  char* unix = toUnix(windowsPath.c_str());
  if (!unix) throw DriverError("no Linux path for " + narrow(windowsPath.wstring()));
  std::string path(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

DriveMapping::DriveMapping(char letter, const std::filesystem::path& folder) {
  // Drive C: leads to the prefix: through its dosdevices folder or its drive_c.
  const std::string drive = std::string(1, letter) + ":";
  const std::string script = "d=$(dirname '" + unixPath(L"C:\\") + "'); [ -d $d/dosdevices ] && d=$d/dosdevices; " +
                             "ln -sfn '" + unixPath(folder) + "' $d/" + drive + " && printf %s $d/" + drive;
  link_ = runNativeOutput(script);
}

DriveMapping::~DriveMapping() {
  try {
    runNative("rm -f '" + link_ + "'");
  } catch (const DriverError&) {
    // A leftover link names a removed folder: harmless.
  }
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DriverError("cannot read " + narrow(path.wstring()));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw DriverError("cannot write " + narrow(path.wstring()));
}

void copyFileOver(const std::filesystem::path& source, const std::filesystem::path& target) {
  // MinGW's std::filesystem::copy_file refuses to overwrite.
  if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
    throw DriverError("cannot copy " + narrow(source.wstring()) + " to " + narrow(target.wstring()));
  }
}

std::optional<std::wstring> readRegistryString(HKEY root, const std::wstring& key, const std::wstring& value) {
  RegistryKey opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened.key) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(opened.key, value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(opened.key, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.resize(size / sizeof(wchar_t));
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  return data;
}

void writeRegistryString(HKEY root, const std::wstring& key, const std::wstring& value, const std::wstring& data) {
  RegistryKey created;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created.key, nullptr) !=
          ERROR_SUCCESS ||
      RegSetValueExW(created.key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    throw DriverError("cannot write registry value " + narrow(key + L"\\" + value));
  }
}

bool registryKeyExists(HKEY root, const std::wstring& key) {
  RegistryKey opened;
  return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened.key) == ERROR_SUCCESS;
}

void deleteRegistryTree(HKEY root, const std::wstring& key) {
  // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
  if (RegDeleteTreeW(root, key.c_str()) == ERROR_SUCCESS) RegDeleteKeyW(root, key.c_str());
}

}  // namespace e2e

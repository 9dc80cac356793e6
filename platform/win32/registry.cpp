// Registry keys under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

using win32::toSjis;
using win32::toWide;
using win32::UniqueRegistryKey;

HKEY rootKey(Hive hive) { return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(UniqueRegistryKey key) : key_(std::move(key)) {}

  std::optional<std::string> queryString(const std::string& name, size_t limit) override {
    const std::wstring wideName = toWide(name);
    std::wstring data;
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ERROR_MORE_DATA;
    // The value may grow between the size query and the read; ask again then.
    while (status == ERROR_MORE_DATA) {
      status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
      if (status != ERROR_SUCCESS) return std::nullopt;
      data.assign(size / sizeof(wchar_t) + 1, L'\0');
      size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
      status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    // Stored data need not end in a NUL; the text ends at the first one.
    data.resize(size / sizeof(wchar_t));
    if (size_t end = data.find(L'\0'); end != std::wstring::npos) data.resize(end);
    auto value = toSjis(data);
    if (!value || value->size() + 1 > limit) return std::nullopt;
    return value;
  }

  bool setString(const std::string& name, const std::string& value) override {
    const std::wstring wideValue = toWide(value);
    const DWORD size = static_cast<DWORD>((wideValue.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_.get(), toWide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wideValue.c_str()), size) == ERROR_SUCCESS;
  }

  bool setDword(const std::string& name, uint32_t value) override {
    const DWORD data = value;
    return RegSetValueExW(key_.get(), toWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
  }

  bool deleteValue(const std::string& name) override {
    return RegDeleteValueW(key_.get(), toWide(name).c_str()) == ERROR_SUCCESS;
  }

  std::optional<uint32_t> valueCount() override {
    DWORD count = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return std::nullopt;
    return count;
  }

  std::optional<uint32_t> subkeyCount() override {
    DWORD count = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return std::nullopt;
    return count;
  }

 private:
  UniqueRegistryKey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Platform::openKey(Hive hive, const std::string& path) {
  UniqueRegistryKey key;
  if (RegOpenKeyExW(rootKey(hive), toWide(path).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

std::unique_ptr<RegistryKey> Win32Platform::createKey(Hive hive, const std::string& path) {
  UniqueRegistryKey key;
  if (RegCreateKeyExW(rootKey(hive), toWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                      key.put(), nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

bool Win32Platform::deleteKey(Hive hive, const std::string& path) {
  return RegDeleteKeyW(rootKey(hive), toWide(path).c_str()) == ERROR_SUCCESS;
}

bool Win32Platform::flushRegistry(Hive hive) { return RegFlushKey(rootKey(hive)) == ERROR_SUCCESS; }

}  // namespace platform

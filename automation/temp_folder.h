#pragma once
// A fresh, empty folder of a test's own under the system's temporary
// folder, removed with everything in it by the destructor.

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    std::random_device random;
    path_ = systemTempFolder() /
            ("discmenu-" + name + "-" + std::to_string(random()) + "-" + std::to_string(random()));
    // Also makes the temporary folder itself again when it is missing.
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  static std::filesystem::path systemTempFolder() {
#ifdef _WIN32
    // Not temp_directory_path(), which throws when %TEMP% is missing: an
    // uninstallation removes the emptied folders above the game folder.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::filesystem::path(temp);
#else
    return std::filesystem::temp_directory_path();
#endif
  }

  std::filesystem::path path_;
};

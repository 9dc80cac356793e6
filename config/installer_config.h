#pragma once
// The process-wide configuration record, filled once from the block appended
// to install.exe. Fields are declared in the record's own order (not the
// order of the block in the file); all text is Shift-JIS.

#include <array>
#include <cstdint>
#include <string>

// Geometry of one menu button; caption, command and visible are stored for
// the two extra buttons only.
struct ButtonLayout {
  int16_t left = 0;
  int16_t top = 0;
  int16_t width = 0;
  int16_t height = 0;
  std::string caption;
  std::string command;
  uint8_t visible = 0;
  bool operator==(const ButtonLayout&) const = default;
};

inline constexpr int kRunButtonIndex = 0;
inline constexpr int kInstallButtonIndex = 1;
inline constexpr int kCloseButtonIndex = 2;
inline constexpr int kExtra1ButtonIndex = 3;
inline constexpr int kExtra2ButtonIndex = 4;

struct InstallerConfig {
  std::string title;
  std::string parentFolder;
  std::string gameFolder;
  std::string registryKey;
  uint8_t rootSelector = 0;
  std::string DefaultRoot;
  std::string menuGroup;
  std::string gameLinkName;
  std::string uninstallLinkName;
  uint8_t extra1Flag = 0;
  uint8_t extra2Flag = 0;
  std::string extra1File;
  std::string extra1LinkName;
  std::string extra2File;
  std::string extra2LinkName;
  int16_t clientWidth = 0;
  int16_t clientHeight = 0;
  int16_t imageLeft = 0;
  int16_t imageTop = 0;
  std::array<ButtonLayout, 5> buttons{};
  std::string InstallPath;
  bool operator==(const InstallerConfig&) const = default;
};

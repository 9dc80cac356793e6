#pragma once
// An installed game on the installation tests' machine (medium in E:, the
// current directory): the game folder C:\Games\Title, the per-user key
// software\Maker\Title with PATH, and the shortcuts in Programs\Maker\Title.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/install_fixture.h"

using platform::Hive;

class InstalledGame : public ::testing::Test, public Machine {
 protected:
  InstalledGame() {
    ctx.config.InstallPath = "C:\\Games\\Title";
    ctx.config.registryKey = "Maker\\Title";
    ctx.config.menuGroup = "Maker\\Title";
    ctx.config.gameLinkName = "Play";
    ctx.config.uninstallLinkName = "Uninstall";
    // The Programs folder is rarely empty.
    put(std::string(kPrograms) + "\\Other.lnk");
  }

  // A file on the medium and its installed copy.
  void shipped(const std::string& name) {
    put(name);
    put(dest(name));
  }
  std::string group() const { return joinPath(kPrograms, ctx.config.menuGroup); }
  std::string link(const std::string& name) const { return joinPath(group(), name + ".lnk"); }
  std::string userKey() const { return "software\\" + ctx.config.registryKey; }

  // What a finished installation registered: PATH and the two shortcuts.
  void registerGame() {
    ASSERT_TRUE(platform.setRegistryString(Hive::CurrentUser, userKey(), "PATH", ctx.config.InstallPath));
    put(link(ctx.config.gameLinkName));
    put(link(ctx.config.uninstallLinkName));
  }
  void expectUnregistered() {
    EXPECT_FALSE(platform.keyExists(Hive::CurrentUser, userKey()));
    EXPECT_FALSE(platform.exists(link(ctx.config.gameLinkName)));
    EXPECT_FALSE(platform.exists(group()));
  }

  bool exists(const std::string& path) const { return platform.exists(path); }
};

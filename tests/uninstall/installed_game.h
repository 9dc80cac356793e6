#pragma once
// An installed game on the in-memory Windows: the medium is drive Q: and
// the current directory, the game folder C:\Games\Title, the per-user key
// software\Maker\Title with PATH, and the shortcuts in Programs\Maker\Title.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/app_context.h"
#include "core/sjis.h"
#include "platform/memory/memory_platform.h"

using platform::Hive;

class InstalledGame : public ::testing::Test {
 protected:
  static constexpr char kPrograms[] = "C:\\Users\\player\\Start Menu\\Programs";

  InstalledGame() {
    platform.installTypicalWindows();
    platform.addDrive('Q');
    platform.setCurrentDirectory("Q:\\");
    ctx.ExtraCopyList = std::make_unique<StringList>(platform);
    ctx.PreserveList = std::make_unique<StringList>(platform);
    ctx.CopyPlan = std::make_unique<StringList>(platform);
    ctx.CreatedDirs = std::make_unique<StringList>(platform);
    ctx.config.InstallPath = "C:\\Games\\Title";
    ctx.config.registryKey = "Maker\\Title";
    ctx.config.menuGroup = "Maker\\Title";
    ctx.config.gameLinkName = "Play";
    ctx.config.uninstallLinkName = "Uninstall";
    // The Programs folder is rarely empty.
    put(std::string(kPrograms) + "\\Other.lnk");
  }

  // Creates a file with its folders.
  void put(const std::string& path, const std::string& bytes = "data") {
    size_t last = 0;
    forEachSeparator(path, 0, [&](size_t at) { last = at; });
    ASSERT_TRUE(platform.createDirectories(path.substr(0, last))) << path;
    ASSERT_TRUE(platform.writeFile(path, bytes)) << path;
  }
  std::string installed(const std::string& name) const { return joinPath(ctx.config.InstallPath, name); }
  // A file on the medium and its installed copy.
  void shipped(const std::string& name) {
    put(joinPath("Q:", name));
    put(installed(name));
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

  platform::MemoryPlatform platform;
  AppContext ctx{platform};
};

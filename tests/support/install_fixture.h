#pragma once
// A fresh machine for one installation test: Windows on C: with its Start
// menu, the medium in drive E: as the current directory, an empty drive D:
// to install to, and an AppContext with its four lists.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "core/sjis.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"

inline constexpr char kPrograms[] = "C:\\Users\\player\\Start Menu\\Programs";

struct Machine {
  Machine() {
    platform.installTypicalWindows();
    platform.addDrive('D');
    platform.addDrive('E');
    platform.setCurrentDirectory("E:\\");
    ctx.plan.ExtraCopyList = std::make_unique<StringList>(platform);
    ctx.plan.PreserveList = std::make_unique<StringList>(platform);
    ctx.plan.CopyPlan = std::make_unique<StringList>(platform);
    ctx.plan.CreatedDirs = std::make_unique<StringList>(platform);
    ctx.config.gameFolder = "Title";
    ctx.config.registryKey = "Vendor\\Title";
    ctx.config.InstallPath = "D:\\Games\\Title";
  }

  // Writes a file with its folders; `path` is absolute or relative to the
  // medium's root.
  void put(const std::string& path, const std::string& bytes = "data") {
    const std::string full = path.size() >= 2 && path[1] == ':' ? path : joinPath("E:", path);
    size_t last = std::string::npos;
    forEachSeparator(full, 0, [&](size_t at) { last = at; });
    ASSERT_TRUE(platform.createDirectories(full.substr(0, last))) << full;
    ASSERT_TRUE(platform.writeFile(full, bytes)) << full;
  }
  // A file of `size` bytes whose content tells its offsets apart.
  static std::string pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
  }
  std::string dest(const std::string& relative) const { return joinPath(ctx.config.InstallPath, relative); }
  const std::vector<std::string>& plan() const { return ctx.plan.CopyPlan->items(); }
  const std::vector<std::string>& createdDirs() const { return ctx.plan.CreatedDirs->items(); }
  bool isFolder(const std::string& path) {
    uint32_t attributes = platform.fileAttributes(path);
    return attributes != platform::kInvalidAttributes && (attributes & platform::kAttributeDirectory);
  }

  platform::MemoryPlatform platform;
  AppContext ctx{platform};
};

class InstallTest : public ::testing::Test, public Machine {};

using Names = std::vector<std::string>;

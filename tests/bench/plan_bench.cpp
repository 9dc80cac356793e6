// Times the planning of an installation (what the progress dialog does
// before its first tick) for a large medium on the in-memory Windows, and
// what the membership test on CreatedDirs would cost as a list scan.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "core/app_context.h"
#include "core/sjis.h"
#include "install/copy_plan.h"
#include "platform/memory/memory_platform.h"

namespace {

// 5,000 folders of 20 files, in 50 groups of 100 so that no folder of the
// medium is long (the in-memory folders find a name by walking their members).
constexpr int kGroups = 50;
constexpr int kFoldersPerGroup = 100;
constexpr int kFolders = kGroups * kFoldersPerGroup;
constexpr int kFilesPerFolder = 20;
// Every n-th plan entry is looked up by list scan; the total is scaled up.
constexpr int kScanSample = 50;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The index of `text` in the list by comparing entry after entry.
int scanIndexOf(platform::Platform& platform, const StringList& list, const std::string& text) {
  const auto& items = list.items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (platform.equalsIgnoreCase(items[i], text)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

int main() {
  platform::MemoryPlatform platform;
  platform.addDrive('D');
  platform.addDrive('E');
  platform.setCurrentDirectory("E:\\");
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string path =
        "E:\\data\\group" + std::to_string(folder / kFoldersPerGroup) + "\\folder" + std::to_string(folder);
    platform.createDirectories(path);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      platform.writeFile(path + "\\file" + std::to_string(file) + ".bin", "0123456789abcdef");
    }
  }

  AppContext ctx(platform);
  ctx.ExtraCopyList = std::make_unique<StringList>(platform);
  ctx.PreserveList = std::make_unique<StringList>(platform);
  ctx.CopyPlan = std::make_unique<StringList>(platform);
  ctx.CreatedDirs = std::make_unique<StringList>(platform);
  ctx.ExtraCopyList->add("data");
  ctx.config.InstallPath = "D:\\Games\\Title";

  auto start = Clock::now();
  planCopy(ctx);
  const double planning = millisecondsSince(start);
  start = Clock::now();
  createInstallFolders(ctx);
  const double folders = millisecondsSince(start);

  // The same lookups as the folder creation, by list scan against the
  // finished CreatedDirs (each entry's folders are found, as they would be
  // for all but the first file of a folder).
  long lookups = 0;
  long found = 0;
  start = Clock::now();
  for (int i = 0; i < ctx.CopyPlan->count(); i += kScanSample) {
    const std::string& entry = ctx.CopyPlan->get(i);
    forEachSeparator(entry, 0, [&](size_t at) {
      ++lookups;
      if (scanIndexOf(platform, *ctx.CreatedDirs, joinPath(ctx.config.InstallPath, entry.substr(0, at))) != -1) ++found;
    });
  }
  const double scanned = millisecondsSince(start) * kScanSample;

#ifdef NDEBUG
  const char* build = "optimised";
#else
  const char* build = "debug";
#endif
  std::printf("plan_bench: %d files in %d folders, memory backend, %s build\n", ctx.CopyPlan->count(), kFolders,
              build);
  std::printf("  plan (list, measure, append):          %8.1f ms, %llu bytes\n", planning,
              static_cast<unsigned long long>(ctx.copy.TotalBytes));
  std::printf("  folders (create, indexed membership):  %8.1f ms, %d recorded\n", folders, ctx.CreatedDirs->count());
  std::printf("  the same membership by list scan:      %8.1f ms (%ld of the lookups timed, %ld found, scaled x%d)\n",
              scanned, lookups, found, kScanSample);
  return ctx.CopyPlan->count() == kFolders * kFilesPerFolder ? 0 : 1;
}

// Times the preparation of an installation (the progress dialog's FormShow
// and the call it posts: planning, the install journal, folder creation, the
// first pair opened) for a medium of 100,000
// files in 5,000 folders on the in-memory Windows, and what the membership
// test on CreatedDirs would cost as a scan of the list instead of its index.
//
// Build it optimised (scripts/bench does): the sanitizers of the native
// preset multiply every figure.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "core/sjis.h"
#include "forms/layouts.h"
#include "install/copy_engine.h"
#include "install/copy_plan.h"
#include "install/iform.h"
#include "platform/memory/memory_platform.h"
#include "toolkit/toolkit.h"

namespace {

// 5,000 folders side by side in one configured folder, 20 files in each.
constexpr int kFolders = 5000;
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
  auto start = Clock::now();
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string path = "E:\\data\\folder" + std::to_string(folder);
    platform.createDirectories(path);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      platform.writeFile(path + "\\file" + std::to_string(file) + ".bin", "0123456789abcdef");
    }
  }
  const double medium = millisecondsSince(start);

  AppContext ctx(platform);
  ctx.plan.ExtraCopyList = std::make_unique<StringList>(platform);
  ctx.plan.PreserveList = std::make_unique<StringList>(platform);
  ctx.plan.CopyPlan = std::make_unique<StringList>(platform);
  ctx.plan.CreatedDirs = std::make_unique<StringList>(platform);
  ctx.plan.ExtraCopyList->add("data");
  ctx.config.InstallPath = "D:\\Games\\Title";
  ctx.config.registryKey = "Vendor\\Title";
  toolkit::Application application(platform);
  Tiform& iform = application.createForm<Tiform>(ctx);

  start = Clock::now();
  // The dialog shows, then prepares from the call it posted to itself.
  iform.show();
  iform.runPostedCall();
  const double formShow = millisecondsSince(start);
  const bool copying = iform.writetimer->enabled();
  iform.writetimer->setEnabled(false);
  closeCurrentPair(ctx);

  // The planning part alone, once more: it only reads the medium.
  start = Clock::now();
  planCopy(ctx);
  const double planning = millisecondsSince(start);
  // planCopy emptied CreatedDirs; the folders are recorded again (they
  // exist now, so nothing is created) for the comparison below.
  createInstallFolders(ctx);

  // The lookups of the folder creation, by list scan against the finished
  // CreatedDirs (each entry's folders are found, as they are for all but the
  // first file of a folder).
  long lookups = 0;
  long found = 0;
  start = Clock::now();
  for (int i = 0; i < ctx.plan.CopyPlan->count(); i += kScanSample) {
    const std::string& entry = ctx.plan.CopyPlan->get(i);
    forEachSeparator(entry, 0, [&](size_t at) {
      ++lookups;
      const std::string folder = joinPath(ctx.config.InstallPath, entry.substr(0, at));
      if (scanIndexOf(platform, *ctx.plan.CreatedDirs, folder) != -1) ++found;
    });
  }
  const double scanned = millisecondsSince(start) * kScanSample;

#ifdef NDEBUG
  const char* build = "optimised";
#else
  const char* build = "debug";
#endif
  std::printf("plan_bench: %d files in %d folders, memory backend, %s build (medium made in %.0f ms)\n",
              ctx.plan.CopyPlan->count(), kFolders, build, medium);
  std::printf("  FormShow (plan, journal, folders, first pair): %8.1f ms, %llu bytes, %d folders recorded\n", formShow,
              static_cast<unsigned long long>(ctx.copy.TotalBytes), ctx.plan.CreatedDirs->count());
  std::printf("  of which the plan (list, measure):     %8.1f ms\n", planning);
  std::printf("  folders' membership by list scan:      %8.1f ms (%ld of the lookups timed, %ld found, scaled x%d)\n",
              scanned, lookups, found, kScanSample);
  const bool complete = copying && ctx.plan.CopyPlan->count() == kFolders * kFilesPerFolder &&
                        ctx.plan.CreatedDirs->count() == kFolders + 3 && found == lookups;
  return complete ? 0 : 1;
}

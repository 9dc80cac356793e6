#include "install/copy_plan.h"

#include <unordered_set>

#include "core/sjis.h"

using platform::OpenMode;

uint64_t measureSize(platform::Stream& stream) {
  if (!stream.seek(0, platform::SeekOrigin::End)) return 0;
  int64_t end = stream.tell();
  return end > 0 ? static_cast<uint64_t>(end) : 0;
}

namespace {

// Whether a file stands at `path`. Asked of the attributes rather than by
// opening it, so that save data which cannot be opened just now (held by the
// running game) is still taken as present and never overwritten.
bool fileExists(platform::Platform& platform, const std::string& path) {
  uint32_t attributes = platform.fileAttributes(path);
  return attributes != platform::kInvalidAttributes && !(attributes & platform::kAttributeDirectory);
}

}  // namespace

void AddFileToPlan(AppContext& ctx, const std::string& name, bool preserve) {
  auto& platform = ctx.platform;
  if (preserve && fileExists(platform, joinPath(ctx.config.InstallPath, name))) return;
  if (auto source = platform.openStream(name, OpenMode::Read)) ctx.copy.TotalBytes += measureSize(*source);
  ctx.CopyPlan->add(name);
}

std::optional<std::string> AddEntryToPlan(AppContext& ctx, const std::string& name, bool preserve) {
  if (name.empty()) return std::nullopt;
  auto& platform = ctx.platform;
  // A missing name reads as all bits set, the folder bit too, and is then
  // taken for a folder that cannot be listed.
  if (!(platform.fileAttributes(name) & platform::kAttributeDirectory)) {
    AddFileToPlan(ctx, name, preserve);
    return std::nullopt;
  }
  auto listing = platform.listFolder(name);
  if (!listing) return std::nullopt;
  std::optional<std::string> unplannable;
  if (listing->unrepresentable > 0) unplannable = name;
  for (const auto& member : listing->names) {
    // Passes over ".", ".." and every hidden name of the medium's tools.
    if (member.empty() || member.front() == '.') continue;
    auto below = AddEntryToPlan(ctx, joinPath(name, member), preserve);
    if (!unplannable) unplannable = std::move(below);
  }
  return unplannable;
}

void recordInstallPathChain(AppContext& ctx, bool create) {
  const std::string& installPath = ctx.config.InstallPath;
  auto record = [&](const std::string& folder) {
    ctx.CreatedDirs->add(folder);
    if (create) ctx.platform.createDirectory(folder);
  };
  // The first three bytes are the drive root ("C:\"); walking from the start
  // keeps a lead byte before index 3 from exposing its trail byte.
  forEachSeparator(installPath, 0, [&](size_t at) {
    if (at >= 3) record(installPath.substr(0, at));
  });
  record(installPath);
}

void recordPlanFolders(AppContext& ctx, bool create) {
  const std::string& installPath = ctx.config.InstallPath;
  // Folders met before in this pass, byte for byte: each is recorded by now,
  // so the membership test (a locale sort key for each side, dear under
  // Wine) is asked once per folder rather than once per file in it.
  std::unordered_set<std::string> seen;
  for (const auto& entry : ctx.CopyPlan->items()) {
    forEachSeparator(entry, 0, [&](size_t at) {
      std::string folder = joinPath(installPath, std::string_view(entry).substr(0, at));
      if (!seen.insert(folder).second || ctx.CreatedDirs->indexOf(folder) != -1) return;
      if (create) ctx.platform.createDirectory(folder);
      ctx.CreatedDirs->add(std::move(folder));
    });
  }
}

void planStandardFiles(AppContext& ctx) {
  // The preserve rule does not apply to the game's own files.
  for (const char* name : StandardFiles) {
    auto source = ctx.platform.openStream(name, OpenMode::Read);
    if (!source) continue;
    ctx.copy.TotalBytes += measureSize(*source);
    ctx.CopyPlan->add(name);
  }
}

std::optional<std::string> planCopy(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  ctx.CopyPlan->clear();
  ctx.CreatedDirs->clear();
  copy.FileCount = 0;
  copy.TotalBytes = 0;

  std::optional<std::string> unplannable;
  auto plan = [&](const std::string& entry, bool preserve) {
    auto found = AddEntryToPlan(ctx, entry, preserve);
    if (!unplannable) unplannable = std::move(found);
  };
  planStandardFiles(ctx);
  for (const auto& entry : ctx.ExtraCopyList->items()) plan(entry, false);
  plan(kSaveDataFile, true);
  for (const auto& entry : ctx.PreserveList->items()) plan(entry, true);
  copy.FileCount = ctx.CopyPlan->count();
  return unplannable;
}

void createInstallFolders(AppContext& ctx) {
  recordInstallPathChain(ctx, true);
  recordPlanFolders(ctx, true);
}

void deletePlannedFiles(AppContext& ctx) {
  for (const auto& entry : ctx.CopyPlan->items()) ctx.platform.deleteFile(joinPath(ctx.config.InstallPath, entry));
}

void removeFolderUnlessLinked(platform::Platform& platform, const std::string& folder) {
  // A missing folder reads as all bits set and is passed over too.
  if (platform.fileAttributes(folder) & platform::kAttributeReparsePoint) return;
  platform.removeDirectory(folder);
}

void removeCreatedDirs(AppContext& ctx) {
  const auto& folders = ctx.CreatedDirs->items();
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    removeFolderUnlessLinked(ctx.platform, *folder);
  }
}

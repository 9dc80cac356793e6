#include "footprint/planning.h"

#include <unordered_set>

#include "core/path_names.h"
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

// Appends each file to CopyPlan with its measured size, counted into
// TotalBytes.
PlannedFileSink intoCopyPlan(AppContext& ctx) {
  return [&ctx](const std::string& name, uint64_t size) {
    ctx.copy.TotalBytes += size;
    ctx.copy.PlannedSizes.push_back(size);
    ctx.plan.CopyPlan->add(name);
  };
}

void planFile(AppContext& ctx, const std::string& name, bool preserve, const PlannedFileSink& take) {
  auto& platform = ctx.platform;
  if (preserve && fileExists(platform, joinPath(ctx.config.InstallPath, name))) return;
  uint64_t size = 0;
  if (auto source = platform.openStream(name, OpenMode::Read)) size = measureSize(*source);
  take(name, size);
}

}  // namespace

void AddFileToPlan(AppContext& ctx, const std::string& name, bool preserve) {
  planFile(ctx, name, preserve, intoCopyPlan(ctx));
}

namespace {

// The name with "\" as its only separator and no empty piece: the form every
// planned name has, so that the folders made for it and the names removed
// later are the same whatever the block wrote ("data/bgm", "data\").
std::string plannedName(const std::string& name) {
  std::string planned;
  for (std::string_view piece : pathNames(name)) {
    if (!planned.empty()) planned += '\\';
    planned.append(piece);
  }
  return planned;
}

std::optional<PlanGap> planEntry(AppContext& ctx, const std::string& name, bool preserve,
                                 const PlannedFileSink& take) {
  auto& platform = ctx.platform;
  // A missing name reads as all bits set, the folder bit too, and is then
  // taken for a folder that cannot be listed.
  if (!(platform.fileAttributes(name) & platform::kAttributeDirectory)) {
    planFile(ctx, name, preserve, take);
    return std::nullopt;
  }
  auto listing = platform.listFolder(name);
  if (!listing) return std::nullopt;
  // A listing that broke off would leave files out without a word.
  if (listing->failed) return PlanGap{PlanGap::Kind::ListingFailed, name};
  std::optional<PlanGap> gap;
  if (listing->unrepresentable > 0) gap = PlanGap{PlanGap::Kind::UnrepresentableName, name};
  for (const auto& member : listing->names) {
    // Passes over ".", ".." and every hidden name of the medium's tools.
    if (member.empty() || member.front() == '.') continue;
    auto below = planEntry(ctx, joinPath(name, member), preserve, take);
    if (below && below->kind == PlanGap::Kind::ListingFailed) return below;
    if (!gap) gap = std::move(below);
  }
  return gap;
}

}  // namespace

std::optional<PlanGap> AddEntryToPlan(AppContext& ctx, const std::string& name, bool preserve,
                                      const PlannedFileSink& take) {
  const std::string planned = plannedName(name);
  if (planned.empty()) return std::nullopt;
  return planEntry(ctx, planned, preserve, take);
}

std::optional<PlanGap> AddEntryToPlan(AppContext& ctx, const std::string& name, bool preserve) {
  return AddEntryToPlan(ctx, name, preserve, intoCopyPlan(ctx));
}

void recordInstallPathChain(AppContext& ctx, StringList& folders) {
  const std::string& installPath = ctx.config.InstallPath;
  // The first three bytes are the drive root ("C:\"); walking from the start
  // keeps a lead byte before index 3 from exposing its trail byte.
  forEachSeparator(installPath, 0, [&](size_t at) {
    if (at >= 3) folders.add(installPath.substr(0, at));
  });
  folders.add(installPath);
}

void recordPlanFolders(AppContext& ctx, const StringList& files, StringList& folders) {
  const std::string& installPath = ctx.config.InstallPath;
  // Folders met before in this pass, byte for byte: each is recorded by now,
  // so the membership test (a locale sort key for each side, dear under
  // Wine) is asked once per folder rather than once per file in it.
  std::unordered_set<std::string> seen;
  for (const auto& entry : files.items()) {
    forEachSeparator(entry, 0, [&](size_t at) {
      std::string folder = joinPath(installPath, std::string_view(entry).substr(0, at));
      if (!seen.insert(folder).second || folders.indexOf(folder) != -1) return;
      folders.add(std::move(folder));
    });
  }
}

void planStandardFiles(AppContext& ctx, const PlannedFileSink& take) {
  // The preserve rule does not apply to the game's own files.
  for (const char* name : StandardFiles) {
    auto source = ctx.platform.openStream(name, OpenMode::Read);
    if (source) take(name, measureSize(*source));
  }
}

void planStandardFiles(AppContext& ctx) { planStandardFiles(ctx, intoCopyPlan(ctx)); }

std::unique_ptr<platform::RemovalEntry> openInstallFolder(AppContext& ctx, platform::FileError* error) {
  auto root = ctx.platform.openForRemoval(ctx.config.InstallPath, error);
  if (root && isLinkAttributes(root->attributes())) {
    if (error) *error = platform::FileError::Other;
    return nullptr;
  }
  return root;
}

void deletePlannedFiles(AppContext& ctx, const StringList& files, platform::RemovalEntry& root,
                        RemovalReport& report, const SparedFile& spared, size_t count) {
  const auto& plan = files.items();
  for (size_t i = 0; i < plan.size() && i < count; ++i) {
    const std::string path = joinPath(ctx.config.InstallPath, plan[i]);
    switch (removeFileBelow(root, plan[i], spared)) {
      case FileRemoval::Removed: report.removed(path); break;
      case FileRemoval::Absent:
      case FileRemoval::Spared: break;
      case FileRemoval::Left: report.left(path); break;
    }
  }
}

void removeCreatedDirsBelow(AppContext& ctx, const StringList& folders, platform::RemovalEntry& root) {
  const std::string inside = ctx.config.InstallPath + '\\';
  const auto& recorded = folders.items();
  for (auto folder = recorded.rbegin(); folder != recorded.rend(); ++folder) {
    if (folder->starts_with(inside)) removeEmptyFolderBelow(root, folder->substr(inside.size()));
  }
}

void removeCreatedDirsAbove(AppContext& ctx, const StringList& folders, std::unique_ptr<platform::RemovalEntry> root) {
  const std::string& installPath = ctx.config.InstallPath;
  const std::string inside = installPath + '\\';
  const auto& recorded = folders.items();
  for (auto folder = recorded.rbegin(); folder != recorded.rend(); ++folder) {
    if (folder->starts_with(inside)) continue;
    if (*folder == installPath) {
      // Through the held entry: a second open would wait for it to close.
      removeEmptyFolder(std::move(root));
    } else {
      removeEmptyFolder(ctx.platform, *folder);
    }
  }
}

void removeCreatedDirs(AppContext& ctx, const StringList& folders, std::unique_ptr<platform::RemovalEntry> root) {
  // A folder is recorded after its parent, so those below InstallPath go
  // first.
  if (root) removeCreatedDirsBelow(ctx, folders, *root);
  removeCreatedDirsAbove(ctx, folders, std::move(root));
}

void removeCreatedDirs(AppContext& ctx, const StringList& folders) {
  removeCreatedDirs(ctx, folders, openInstallFolder(ctx));
}

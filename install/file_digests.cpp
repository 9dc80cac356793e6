#include "install/file_digests.h"

#include "core/sjis.h"
#include "footprint/file_reading.h"
#include "texts.h"

namespace {

// Far beyond any medium's list (100,000 files of 200 bytes).
constexpr size_t kLargestList = 64 << 20;

std::string listAndLine(int line) {
  return std::string(kDigestListFile) + " " + formatWith(texts::kLineOfList, std::to_string(line));
}

}  // namespace

InstallStep readMediumDigests(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  copy.MediumDigests.reset();
  platform::FileError error = platform::FileError::None;
  auto text = readWholeFile(ctx.platform, kDigestListFile, kLargestList, &error);
  if (!text && error == platform::FileError::Missing) return {};
  const InstallStep unreadable{.stop = InstallStop::DigestListUnreadable, .detail = kDigestListFile};
  if (!text) return unreadable;
  DigestListReading reading = parseDigestList(*text, ctx.platform);
  if (!reading.list) return {.stop = InstallStop::DigestListMalformed, .detail = listAndLine(reading.badLine)};
  // The publisher shipped the list to have the files checked; copying them
  // unchecked would tell a damaged medium's game installed.
  if (!ctx.platform.startSha256()) return unreadable;
  copy.MediumDigests = std::move(reading.list);
  ctx.log(std::string("checking every file against ") + kDigestListFile);
  return {};
}

std::optional<std::string> listedFileMissing(AppContext& ctx) {
  if (!ctx.copy.MediumDigests) return std::nullopt;
  const DigestList& list = *ctx.copy.MediumDigests;
  std::vector<bool> planned(list.entries.size());
  for (const std::string& entry : ctx.plan.CopyPlan->items()) {
    if (const ListedDigest* listed = list.find(ctx.platform, entry)) planned[listed - list.entries.data()] = true;
  }
  for (size_t i = 0; i < planned.size(); ++i) {
    // Left out of the plan by the preserve rule, it stands on the medium.
    if (!planned[i] && ctx.platform.fileAttributes(list.entries[i].name) == platform::kInvalidAttributes) {
      return list.entries[i].name;
    }
  }
  return std::nullopt;
}

void beginFileDigest(AppContext& ctx) { ctx.copy.FileDigest = ctx.platform.startSha256(); }

void addToFileDigest(AppContext& ctx, const char* data, size_t size) {
  if (ctx.copy.FileDigest) ctx.copy.FileDigest->add(data, size);
}

bool fileDigestHolds(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  std::optional<Sha256Digest> digest;
  if (copy.FileDigest) digest = copy.FileDigest->finish();
  copy.FileDigest.reset();
  if (static_cast<size_t>(copy.CurrentIndex) < copy.CopiedDigests.size()) copy.CopiedDigests[copy.CurrentIndex] = digest;
  if (!copy.MediumDigests) return true;
  const std::string& name = ctx.plan.CopyPlan->get(copy.CurrentIndex);
  const ListedDigest* listed = copy.MediumDigests->find(ctx.platform, name);
  if (!listed) {
    ctx.log("unlisted " + name);
    return true;
  }
  return digest == listed->digest;
}

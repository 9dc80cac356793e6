#include "footprint/verification.h"

#include "core/sjis.h"

namespace {

enum class Finding { Intact, Missing, Damaged, Unjudged };

Finding judge(AppContext& ctx, const std::string& name, const Sha256Digest* recorded) {
  platform::FileError error = platform::FileError::None;
  auto stream = ctx.platform.openStream(joinPath(ctx.config.InstallPath, name), platform::OpenMode::Read, &error);
  if (!stream) return error == platform::FileError::Missing ? Finding::Missing : Finding::Damaged;
  auto digest = recorded ? ctx.platform.startSha256() : nullptr;
  if (!digest) return Finding::Unjudged;
  if (ctx.copy.CopyBuffer.size() != ChunkSize) ctx.copy.CopyBuffer.resize(ChunkSize);
  while (size_t got = stream->read(ctx.copy.CopyBuffer.data(), ChunkSize)) digest->add(ctx.copy.CopyBuffer.data(), got);
  if (stream->readError()) return Finding::Damaged;
  auto found = digest->finish();
  if (!found) return Finding::Unjudged;
  return *found == *recorded ? Finding::Intact : Finding::Damaged;
}

}  // namespace

Verification verifyInstallation(AppContext& ctx, const InstallRecord& record) {
  Verification verification;
  for (const std::string& file : record.files) {
    auto recorded = record.digests.find(file);
    switch (judge(ctx, file, recorded == record.digests.end() ? nullptr : &recorded->second)) {
      case Finding::Intact: ++verification.intact; break;
      case Finding::Missing: verification.missing.push_back(file); break;
      case Finding::Damaged: verification.damaged.push_back(file); break;
      case Finding::Unjudged: verification.unjudged.push_back(file); break;
    }
  }
  return verification;
}

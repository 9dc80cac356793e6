#include "uninstall/uninstall_run.h"

#include <utility>

#include "footprint/installed_state.h"
#include "texts.h"

bool findInstalledGame(AppContext& ctx) {
  if (!detectInstalledGame(ctx)) return false;
  // Without the disc the record is the only plan of what was installed.
  if (ctx.discFree) ctx.discFree->record = recordForRemoval(ctx);
  return true;
}

UninstallResult uninstallGame(AppContext& ctx, RemovalMode mode, const std::function<bool()>& confirmed) {
  auto refused = [](Refusal refusal) {
    return UninstallResult{.ending = RemovalEnding::Refused, .refusal = std::move(refusal)};
  };
  if (auto field = brokenNameField(ctx)) return refused({texts::kBadConfigUninstall, field});
  if (confirmed) {
    if (const RemovalRefusal refusal = removalRefusal(ctx, mode); refusal != RemovalRefusal::None) {
      return refused({removalRefusalText(refusal, ctx)});
    }
    if (!confirmed()) return {};
  }
  const RemovalOutcome outcome = removeInstallation(ctx, mode);
  // Refused here, the folder changed while the question was shown (a link
  // above it re-pointed): nothing was removed.
  if (outcome.refusal != RemovalRefusal::None) return refused({removalRefusalText(outcome.refusal, ctx)});
  if (outcome.firstLeft) return {.ending = RemovalEnding::Incomplete, .firstLeft = *outcome.firstLeft};
  return {.ending = RemovalEnding::Done};
}

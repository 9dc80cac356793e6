#include "launcher/file_checks.h"

#include "footprint/block_check.h"
#include "footprint/install_path_check.h"
#include "footprint/install_record.h"
#include "footprint/installed_state.h"
#include "footprint/verification.h"
#include "install/repair.h"
#include "launcher/exit_codes.h"
#include "launcher/unattended.h"
#include "texts.h"

namespace {

// How many names a message box shows.
constexpr size_t kNamesShown = 5;

std::string firstNames(const std::vector<std::string>& a, const std::vector<std::string>& b = {}) {
  std::string text;
  size_t shown = 0;
  for (const auto* names : {&a, &b}) {
    for (const std::string& name : *names) {
      if (shown++ == kNamesShown) return text + "\n...";
      text += "\n" + name;
    }
  }
  return text;
}

class Checkup {
 public:
  Checkup(AppContext& ctx, bool tell) : ctx_(ctx), tell_(tell) {}

  // Logs the text as a failure and shows it; returns `code`.
  int refuse(const std::string& text, int code) {
    ctx_.log("failed: " + text);
    show(text);
    return code;
  }
  // The installed game and its record; an exit code when there is none.
  std::optional<int> findRecord() {
    if (!detectInstalledGame(ctx_)) return refuse(texts::kNotInstalled, kExitInstalledState);
    record_ = readInstallRecord(ctx_.platform, ctx_.config.InstallPath);
    if (!record_) return refuse(texts::kNoRecordToVerify, kExitRefused);
    return std::nullopt;
  }
  const InstallRecord& record() const { return *record_; }

  Verification verify() {
    ctx_.log("verifying " + ctx_.config.InstallPath);
    Verification found = verifyInstallation(ctx_, *record_);
    for (const auto& name : found.missing) ctx_.log("missing " + name);
    for (const auto& name : found.damaged) ctx_.log("damaged " + name);
    for (const auto& name : found.unjudged) ctx_.log("not judged " + name);
    ctx_.log(std::to_string(found.intact) + " intact, " + std::to_string(found.missing.size()) + " missing, " +
             std::to_string(found.damaged.size()) + " damaged, " + std::to_string(found.unjudged.size()) +
             " not judged");
    return found;
  }
  // Tells the result, after `before` (a line of its own, or nothing).
  int report(const Verification& found, const std::string& before = "") {
    std::string text = before.empty() ? "" : before + "\n";
    if (!found.sound()) {
      show(text + texts::kVerifyBroken + firstNames(found.missing, found.damaged) + "\n\n" + texts::kVerifyRepairHint);
      return kExitDamaged;
    }
    text += texts::kVerifySound;
    if (!found.unjudged.empty()) text += std::string("\n\n") + texts::kVerifyUnjudged + firstNames(found.unjudged);
    show(text);
    return kExitDone;
  }

 private:
  void show(const std::string& text) {
    if (tell_) ctx_.platform.messageBox(0, text, texts::kVerifyCaption, platform::kMbOk);
  }

  AppContext& ctx_;
  bool tell_;
  std::optional<InstallRecord> record_;
};

}  // namespace

int verifyInstalledGame(AppContext& ctx, bool tell) {
  Checkup checkup(ctx, tell);
  if (auto code = checkup.findRecord()) return *code;
  return checkup.report(checkup.verify());
}

int repairInstalledGame(AppContext& ctx, bool tell) {
  Checkup checkup(ctx, tell);
  if (auto code = checkup.findRecord()) return *code;
  // Files are written below InstallPath, which the registry gave.
  if (auto field = brokenNameField(ctx)) {
    return checkup.refuse(std::string(texts::kBadConfigInstall) + "\n" + *field, kExitRefused);
  }
  if (!isRemovableInstallPath(ctx.config.InstallPath, ctx.config.gameFolder, ctx.platform)) {
    return checkup.refuse(texts::kDestinationUnsafe, kExitRefused);
  }
  const Verification found = checkup.verify();
  if (found.sound()) return checkup.report(found);
  const InstallStep step = repairInstallation(ctx, checkup.record(), found);
  if (step.stop != InstallStop::None) {
    const StopMessage message = stopMessage(step);
    return checkup.refuse(message.text, exitCodeOf(step.stop));
  }
  return checkup.report(checkup.verify(), texts::kRepaired);
}

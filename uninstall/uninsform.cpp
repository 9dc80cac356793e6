// Unit5: the uninstall dialog. The handlers ask and sequence; the removal
// itself is removeInstallation.
#include "uninstall/uninsform.h"

#include "forms/layouts.h"
#include "installed/block_check.h"
#include "texts.h"
#include "uninstall/removal.h"

Tuninsform::Tuninsform(toolkit::Application& application, AppContext& context)
    : Form(application, uninsformLayout), ctx_(context) {
  Button1 = &control<toolkit::Button>("Button1");
  Button2 = &control<toolkit::Button>("Button2");
  RadioButton1 = &control<toolkit::RadioButton>("RadioButton1");
  savecheck = &control<toolkit::RadioButton>("savecheck");
  recordnote = &control<toolkit::Label>("recordnote");
  onShow = [this] { FormShow(); };
  Button1->onClick = [this] { Button1Click(); };
  Button2->onClick = [this] { Button2Click(); };
}

void Tuninsform::FormShow() {
  ending_ = Ending::Cancelled;
  // Without the disc the record is the only plan of what was installed.
  const bool recordMissing = ctx_.discFree && !ctx_.discFree->record;
  RadioButton1->setEnabled(!recordMissing);
  recordnote->setVisible(recordMissing);
  if (recordMissing) savecheck->setChecked(true);
}

void Tuninsform::Button1Click() {
  platform::Platform& platform = ctx_.platform;
  auto tell = [&](const std::string& text) {
    platform.messageBox(handle(), text, texts::kUninstallConfirmCaption, platform::kMbOk);
  };
  // Refused before the question, so the user never confirms a removal that
  // then does not happen.
  ending_ = Ending::Refused;
  if (auto field = brokenNameField(ctx_)) {
    tell(std::string(texts::kBadConfigUninstall) + "\n" + *field);
    return;
  }
  const bool deleteAll = savecheck->checked();
  const RemovalMode mode = deleteAll ? RemovalMode::DeleteAll : RemovalMode::KeepSaveData;
  const RemovalRefusal refusal = removalRefusal(ctx_, mode);
  if (refusal != RemovalRefusal::None) {
    tell(removalRefusalText(refusal, ctx_));
    return;
  }
  const char* question = deleteAll ? texts::kConfirmDeleteAll : texts::kConfirmKeepSaveData;
  if (platform.messageBox(handle(), question, texts::kUninstallConfirmCaption, platform::kMbOkCancel) !=
      platform::kIdOk) {
    ending_ = Ending::Cancelled;
    return;
  }
  const RemovalOutcome outcome = removeInstallation(ctx_, mode);
  if (outcome.refusal != RemovalRefusal::None) {
    // The folder changed while the question was shown (a link above it
    // re-pointed): nothing was removed.
    tell(removalRefusalText(outcome.refusal, ctx_));
    return;
  }
  if (outcome.firstLeft) {
    // Not done: the menu stays installed and the registration is kept, so
    // the player can close the game and uninstall again.
    tell(std::string(texts::kUninstallIncomplete) + "\n" + *outcome.firstLeft + "\n" + texts::kRetryAfterClosingGame);
    ending_ = Ending::Incomplete;
    setModalResult(-1);
    hide();
    return;
  }
  tell(texts::kUninstallComplete);
  ending_ = Ending::Done;
  setModalResult(1);
  hide();
}

void Tuninsform::Button2Click() {
  setModalResult(-1);
  hide();
}

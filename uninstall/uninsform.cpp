// Unit5: the uninstall dialog. The handlers ask and tell; the sequence is
// uninstallGame (uninstall/uninstall_run), the removal removeInstallation.
#include "uninstall/uninsform.h"

#include "forms/layouts.h"
#include "texts.h"

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
  ending_ = RemovalEnding::Cancelled;
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
  const bool deleteAll = savecheck->checked();
  const char* question = deleteAll ? texts::kConfirmDeleteAll : texts::kConfirmKeepSaveData;
  const UninstallResult result =
      uninstallGame(ctx_, deleteAll ? RemovalMode::DeleteAll : RemovalMode::KeepSaveData, [&] {
        return platform.messageBox(handle(), question, texts::kUninstallConfirmCaption, platform::kMbOkCancel) ==
               platform::kIdOk;
      });
  ending_ = result.ending;
  switch (result.ending) {
    case RemovalEnding::Cancelled: return;
    case RemovalEnding::Refused: tell(result.refusal.shown()); return;
    case RemovalEnding::Incomplete:
      // Not done: the menu stays installed and the registration is kept, so
      // the player can close the game and uninstall again.
      tell(std::string(texts::kUninstallIncomplete) + "\n" + result.firstLeft + "\n" + texts::kRetryAfterClosingGame);
      setModalResult(-1);
      hide();
      return;
    case RemovalEnding::Done:
      tell(texts::kUninstallComplete);
      setModalResult(1);
      hide();
      return;
  }
}

void Tuninsform::Button2Click() {
  setModalResult(-1);
  hide();
}

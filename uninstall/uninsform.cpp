// Unit5: the uninstall dialog. The handlers ask and sequence; the removal
// itself is removeInstallation.
#include "uninstall/uninsform.h"

#include "forms/layouts.h"
#include "texts.h"
#include "uninstall/install_path_check.h"
#include "uninstall/removal.h"

Tuninsform::Tuninsform(toolkit::Application& application, AppContext& context)
    : Form(application, uninsformLayout), ctx_(context) {
  Button1 = &control<toolkit::Button>("Button1");
  Button2 = &control<toolkit::Button>("Button2");
  RadioButton1 = &control<toolkit::RadioButton>("RadioButton1");
  savecheck = &control<toolkit::RadioButton>("savecheck");
  Button1->onClick = [this] { Button1Click(); };
  Button2->onClick = [this] { Button2Click(); };
}

void Tuninsform::Button1Click() {
  platform::Platform& platform = ctx_.platform;
  // Refused before the question, so the user never confirms a removal that
  // then does not happen.
  if (!isRemovableInstallPath(ctx_.config.InstallPath)) {
    platform.messageBox(handle(), texts::kUnsafeInstallPath, texts::kUninstallConfirmCaption, platform::kMbOk);
    return;
  }
  const bool deleteAll = savecheck->checked();
  const char* question = deleteAll ? texts::kConfirmDeleteAll : texts::kConfirmKeepSaveData;
  if (platform.messageBox(handle(), question, texts::kUninstallConfirmCaption, platform::kMbOkCancel) !=
      platform::kIdOk) {
    return;
  }
  removeInstallation(ctx_, deleteAll ? RemovalMode::DeleteAll : RemovalMode::KeepSaveData);
  platform.messageBox(handle(), texts::kUninstallComplete, texts::kUninstallConfirmCaption, platform::kMbOk);
  setModalResult(1);
  hide();
}

void Tuninsform::Button2Click() {
  setModalResult(-1);
  hide();
}

// Unit2: the destination dialog.
#include "install/instform.h"

#include "forms/layouts.h"
#include "install/destination.h"
#include "install/dirform.h"
#include "install/iform.h"
#include "install/install_run.h"
#include "texts.h"

Tinstform::Tinstform(toolkit::Application& application, AppContext& context)
    : Form(application, instformLayout), ctx_(context) {
  dirpath = &control<toolkit::Edit>("dirpath");
  instlabel = &control<toolkit::Label>("instlabel");
  Label2 = &control<toolkit::Label>("Label2");
  Button1 = &control<toolkit::Button>("Button1");
  Button2 = &control<toolkit::Button>("Button2");
  Button3 = &control<toolkit::Button>("Button3");
  Button1->onClick = [this] { Button1Click(); };
  Button2->onClick = [this] { Button2Click(); };
  Button3->onClick = [this] { Button3Click(); };
}

void Tinstform::Button1Click() {
  // Put back exactly however the browse ends, whatever the folder's name:
  // the copy reads its sources by names relative to it.
  auto keeper = ctx_.platform.saveCurrentDirectory();
  Tdirform& dirform = application().form<Tdirform>();
  for (const auto& folder : browseSeeds(ctx_.platform, dirpath->text())) dirform.dirlist->setFolder(folder);
  // The accept button writes the choice into dirpath itself.
  dirform.showModal();
}

void Tinstform::Button2Click() {
  auto& platform = ctx_.platform;
  const std::string& gameFolder = ctx_.config.gameFolder;
  auto tell = [&](const std::string& text) {
    platform.messageBox(handle(), text, texts::kDestinationConfirmCaption, platform::kMbOk);
  };
  // A character without a Shift-JIS form would reach the file system as a
  // look-alike and install somewhere else.
  if (dirpath->textUnrepresentable()) {
    tell(texts::kUnusableDestination);
    return;
  }
  const DestinationCheck checked = checkInstallDestination(ctx_, dirpath->text());
  if (checked.refusal) {
    tell(checked.refusal->shown());
    return;
  }
  const Destination& destination = checked.destination;
  if (platform.messageBox(handle(), confirmationText(destination.folder, gameFolder),
                          texts::kDestinationConfirmCaption, platform::kMbOkCancel) != platform::kIdOk) {
    return;
  }
  hide();
  ctx_.config.InstallPath = destination.installPath;
  if (application().form<Tiform>().showModal() == 1) {
    setModalResult(1);
    hide();
    return;
  }
  // Cancelled or failed: the user may choose another folder or give up.
  show();
}

void Tinstform::Button3Click() {
  setModalResult(-1);
  hide();
}

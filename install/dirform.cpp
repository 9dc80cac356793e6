// Unit3: the folder-browse dialog.
#include "install/dirform.h"

#include "forms/layouts.h"
#include "install/instform.h"
#include "texts.h"

Tdirform::Tdirform(toolkit::Application& application, AppContext& context)
    : Form(application, dirformLayout), ctx_(context) {
  drivelist = &control<toolkit::DriveList>("drivelist");
  dirlist = &control<toolkit::FolderList>("dirlist");
  Button1 = &control<toolkit::Button>("Button1");
  Button2 = &control<toolkit::Button>("Button2");
  Button1->onClick = [this] { Button1Click(); };
  Button2->onClick = [this] { Button2Click(); };
}

void Tdirform::Button1Click() {
  // The list stands in a folder whose name the program cannot hold (the
  // medium's, before any browsing): refused as a typed one would be.
  if (dirlist->folder().empty()) {
    ctx_.platform.messageBox(handle(), texts::kUnusableDestination, texts::kDestinationConfirmCaption,
                             platform::kMbOk);
    return;
  }
  application().form<Tinstform>().dirpath->setText(dirlist->folder());
  setModalResult(1);
  hide();
}

void Tdirform::Button2Click() {
  setModalResult(-1);
  hide();
}

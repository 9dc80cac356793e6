// Unit3: the folder-browse dialog.
#include "install/dirform.h"

#include "forms/layouts.h"
#include "install/instform.h"

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
  ctx_.instform->dirpath->setText(dirlist->folder());
  setModalResult(1);
  hide();
}

void Tdirform::Button2Click() {
  setModalResult(-1);
  hide();
}

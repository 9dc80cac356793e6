// TEMPORARY: minimal definitions of what the install and uninstall branches
// define, so that the menu, the start-up and install.exe link before those
// branches are merged. Delete this file when they are.
#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "install/registration.h"
#include "forms/layouts.h"
#include "uninstall/uninsform.h"

std::string softwareKeyPath(const std::string& name) { return "software\\" + name; }

Tinstform::Tinstform(toolkit::Application& application, AppContext& context)
    : toolkit::Form(application, instformLayout),
      dirpath(&control<toolkit::Edit>("dirpath")),
      instlabel(&control<toolkit::Label>("instlabel")),
      Label2(&control<toolkit::Label>("Label2")),
      Button1(&control<toolkit::Button>("Button1")),
      Button2(&control<toolkit::Button>("Button2")),
      Button3(&control<toolkit::Button>("Button3")),
      ctx_(context) {
  Button3->onClick = [this] { setModalResult(-1); };
}

Tdirform::Tdirform(toolkit::Application& application, AppContext& context)
    : toolkit::Form(application, dirformLayout),
      drivelist(&control<toolkit::DriveList>("drivelist")),
      dirlist(&control<toolkit::FolderList>("dirlist")),
      Button1(&control<toolkit::Button>("Button1")),
      Button2(&control<toolkit::Button>("Button2")),
      ctx_(context) {}

Tiform::Tiform(toolkit::Application& application, AppContext& context)
    : toolkit::Form(application, iformLayout),
      nowcopy(&control<toolkit::Label>("nowcopy")),
      nowwrite(&control<toolkit::ProgressBar>("nowwrite")),
      Label2(&control<toolkit::Label>("Label2")),
      totalwrite(&control<toolkit::ProgressBar>("totalwrite")),
      Button1(&control<toolkit::Button>("Button1")),
      writetimer(&control<toolkit::Timer>("writetimer")),
      ctx_(context) {}

Tuninsform::Tuninsform(toolkit::Application& application, AppContext& context)
    : toolkit::Form(application, uninsformLayout),
      Button1(&control<toolkit::Button>("Button1")),
      Button2(&control<toolkit::Button>("Button2")),
      RadioButton1(&control<toolkit::RadioButton>("RadioButton1")),
      savecheck(&control<toolkit::RadioButton>("savecheck")),
      ctx_(context) {
  Button2->onClick = [this] { setModalResult(-1); };
}

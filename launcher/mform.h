#pragma once
// Unit1: the launcher menu, the application's main form.

#include <string>

#include "app/app_context.h"
#include "toolkit/toolkit.h"

class Tmform : public toolkit::Form {
 public:
  Tmform(toolkit::Application& application, AppContext& context);

  toolkit::Image* instimage;
  toolkit::Button* runbtn;
  toolkit::Button* instbtn;
  toolkit::Button* closebtn;
  toolkit::Button* etc1btn;
  toolkit::Button* etc2btn;

  void closebtnClick();
  void FormCreate();
  void runbtnClick();
  void instbtnClick();
  void FormClose();
  void etc1btnClick();
  void etc2btnClick();

 private:
  // FormCreate's steps 8 and 9: InstallPath from the per-user key, and the
  // installed state when origin.exe is in that folder; DefaultRoot from the
  // machine key that rootSelector picks.
  void detectInstalledState();
  void lookUpDefaultRoot();
  // The state lives in the controls: instbtn's Tag and caption, runbtn's
  // Enabled.
  void showInstalledState(bool installed);
  // Opens an extra item of the medium.
  void openExtraItem(const std::string& file);
  // A message box over the menu under "確認".
  void tell(const std::string& text);
  // Tells the player that nothing was started because it would have run
  // with the menu's elevated rights; other failures are not told.
  void tellIfOnlyElevated(platform::StartFailure failure);

  AppContext& ctx_;
};

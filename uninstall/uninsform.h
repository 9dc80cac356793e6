#pragma once
// Unit5: the uninstall dialog.

#include "app/app_context.h"
#include "toolkit/toolkit.h"
#include "uninstall/uninstall_run.h"

class Tuninsform : public toolkit::Form {
 public:
  Tuninsform(toolkit::Application& application, AppContext& context);

  toolkit::Button* Button1;  // start
  toolkit::Button* Button2;  // cancel
  toolkit::RadioButton* RadioButton1;  // keep save data
  toolkit::RadioButton* savecheck;     // delete all
  // Without the disc and without an install record: why keep-save-data is
  // not offered.
  toolkit::Label* recordnote;

  void FormShow();
  void Button1Click();
  void Button2Click();

  // How the last showing ended, beyond its modal result: the uninstaller
  // started without the disc turns it into its exit code.
  RemovalEnding ending() const { return ending_; }

 private:
  AppContext& ctx_;
  RemovalEnding ending_ = RemovalEnding::Cancelled;
};

#pragma once
// Unit5: the uninstall dialog.

#include "app/app_context.h"
#include "toolkit/toolkit.h"

class Tuninsform : public toolkit::Form {
 public:
  Tuninsform(toolkit::Application& application, AppContext& context);

  toolkit::Button* Button1;  // start
  toolkit::Button* Button2;  // cancel
  toolkit::RadioButton* RadioButton1;  // keep save data
  toolkit::RadioButton* savecheck;     // delete all

  void Button1Click();
  void Button2Click();

 private:
  AppContext& ctx_;
};

#pragma once
// Unit3: the folder-browse dialog.

#include "app/app_context.h"
#include "toolkit/toolkit.h"

class Tdirform : public toolkit::Form {
 public:
  Tdirform(toolkit::Application& application, AppContext& context);

  toolkit::DriveList* drivelist;
  toolkit::FolderList* dirlist;
  toolkit::Button* Button1;  // accept
  toolkit::Button* Button2;  // cancel

  void Button1Click();
  void Button2Click();

 private:
  AppContext& ctx_;
};

// The uninstall dialog: the only form laid out by its outer size, in the
// default (resizable) frame.
#include "forms/layouts.h"
#include "texts.h"

namespace {

using toolkit::ControlKind;

constexpr toolkit::ControlLayout controls[] = {
    {.kind = ControlKind::Button,
     .name = "Button1",
     .bounds = {20, 90, 140, 25},
     .caption = texts::kStartUninstallButton,
     .tabOrder = 0},
    {.kind = ControlKind::Button,
     .name = "Button2",
     .bounds = {180, 90, 60, 25},
     .caption = texts::kCancelButton,
     .tabOrder = 1,
     .cancel = true},
    {.kind = ControlKind::RadioButton,
     .name = "RadioButton1",
     .bounds = {60, 20, 140, 17},
     .caption = texts::kKeepSaveData,
     .tabOrder = 2,
     .checked = true},
    {.kind = ControlKind::RadioButton,
     .name = "savecheck",
     .bounds = {60, 50, 140, 17},
     .caption = texts::kDeleteAllFiles,
     .tabOrder = 3},
    // Shown only by the uninstaller without the disc, when the installation
    // left no record to keep the save data by.
    {.kind = ControlKind::Label,
     .name = "recordnote",
     .bounds = {20, 72, 230, 12},
     .caption = texts::kNoInstallRecord,
     .visible = false},
};

}  // namespace

constexpr toolkit::FormLayout uninsformLayout = {
    .className = "Tuninsform",
    .name = "uninsform",
    .caption = texts::kUninstall,
    .bounds = {0, 0, 268, 157},
    .outerSize = true,
    .border = toolkit::BorderStyle::Sizeable,
    .systemMenu = false,
    .centred = true,
    .controls = controls,
};

// The folder-browse dialog: a drive list that moves the folder list, and
// its two buttons.
#include "forms/layouts.h"
#include "texts.h"

namespace {

using toolkit::ControlKind;

constexpr toolkit::ControlLayout controls[] = {
    {.kind = ControlKind::DriveList,
     .name = "drivelist",
     .bounds = {10, 10, 200, 19},
     .tabOrder = 3,
     .fontHeight = 13,
     .link = "dirlist"},
    {.kind = ControlKind::FolderList,
     .name = "dirlist",
     .bounds = {10, 40, 200, 200},
     .tabOrder = 0,
     .fontHeight = 13,
     .itemHeight = 16},
    {.kind = ControlKind::Button, .name = "Button1", .bounds = {220, 50, 60, 25}, .caption = texts::kAcceptButton, .tabOrder = 1},
    {.kind = ControlKind::Button,
     .name = "Button2",
     .bounds = {220, 100, 60, 25},
     .caption = texts::kCancelButton,
     .tabOrder = 2,
     .cancel = true},
};

}  // namespace

constexpr toolkit::FormLayout dirformLayout = {
    .className = "Tdirform",
    .name = "dirform",
    .caption = texts::kBrowseFormCaption,
    .bounds = {0, 0, 290, 250},
    .border = toolkit::BorderStyle::Single,
    .systemMenu = false,
    .centred = true,
    .controls = controls,
};

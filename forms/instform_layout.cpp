// The destination dialog: the menu fills dirpath and instlabel before each
// showing.
#include "forms/layouts.h"
#include "texts.h"

namespace {

using toolkit::ControlKind;

constexpr toolkit::ControlLayout controls[] = {
    {.kind = ControlKind::Edit,
     .name = "dirpath",
     .bounds = {10, 10, 300, 21},
     .caption = texts::kDirpathDesign,
     .tabOrder = 0,
     .maxLength = 256,
     .fontHeight = 13},
    {.kind = ControlKind::Label, .name = "instlabel", .bounds = {10, 40, 145, 12}, .caption = texts::kInstallLabelDesign},
    {.kind = ControlKind::Label, .name = "Label2", .bounds = {10, 60, 127, 12}, .caption = texts::kInstallThere},
    {.kind = ControlKind::Button, .name = "Button1", .bounds = {240, 40, 70, 25}, .caption = texts::kBrowseButton, .tabOrder = 1},
    {.kind = ControlKind::Button,
     .name = "Button2",
     .bounds = {60, 90, 100, 25},
     .caption = texts::kStartInstallButton,
     .tabOrder = 2},
    {.kind = ControlKind::Button,
     .name = "Button3",
     .bounds = {200, 90, 70, 25},
     .caption = texts::kCancelButton,
     .tabOrder = 3,
     .cancel = true},
};

}  // namespace

constexpr toolkit::FormLayout instformLayout = {
    .className = "Tinstform",
    .name = "instform",
    .caption = texts::kDestinationCaption,
    .bounds = {0, 0, 320, 130},
    .border = toolkit::BorderStyle::Single,
    .systemMenu = false,
    .centred = true,
    .controls = controls,
};

// The menu: its caption is set at creation, and the configuration replaces
// the client size, the picture's place and the buttons' geometry.
#include "forms/layouts.h"
#include "texts.h"

namespace {

using toolkit::ControlKind;

constexpr toolkit::ControlLayout controls[] = {
    {.kind = ControlKind::Image, .name = "instimage", .bounds = {0, 0, 220, 10}, .autoSize = true},
    {.kind = ControlKind::Button,
     .name = "runbtn",
     .bounds = {5, 5, 210, 25},
     .caption = texts::kRunButton,
     .tabOrder = 0,
     .enabled = false},
    {.kind = ControlKind::Button, .name = "instbtn", .bounds = {5, 35, 100, 25}, .caption = texts::kInstall, .tabOrder = 1},
    {.kind = ControlKind::Button,
     .name = "closebtn",
     .bounds = {115, 35, 100, 25},
     .caption = texts::kCloseButton,
     .tabOrder = 2},
    {.kind = ControlKind::Button, .name = "etc1btn", .bounds = {5, 70, 100, 25}, .tabOrder = 3, .visible = false},
    {.kind = ControlKind::Button, .name = "etc2btn", .bounds = {115, 70, 100, 25}, .tabOrder = 4, .visible = false},
};

}  // namespace

constexpr toolkit::FormLayout mformLayout = {
    .className = "Tmform",
    .name = "mform",
    .caption = "",
    .bounds = {192, 104, 220, 110},
    .border = toolkit::BorderStyle::Single,
    .systemMenu = true,
    .centred = true,
    .controls = controls,
};

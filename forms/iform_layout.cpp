// The install-progress dialog: two bars, the cancel button (its only tab
// stop, and so where the focus goes) and the copy timer, which its show
// handler starts.
#include "forms/layouts.h"
#include "texts.h"

namespace {

using toolkit::ControlKind;

constexpr toolkit::ControlLayout controls[] = {
    {.kind = ControlKind::Label, .name = "nowcopy", .bounds = {10, 10, 95, 12}, .caption = texts::kCopyingFile},
    {.kind = ControlKind::ProgressBar, .name = "nowwrite", .bounds = {10, 30, 200, 20}, .tabOrder = 0},
    {.kind = ControlKind::Label, .name = "Label2", .bounds = {10, 70, 60, 12}, .caption = texts::kOverallProgress},
    {.kind = ControlKind::ProgressBar, .name = "totalwrite", .bounds = {10, 90, 200, 20}, .tabOrder = 1},
    {.kind = ControlKind::Button,
     .name = "Button1",
     .bounds = {70, 130, 80, 25},
     .caption = texts::kCancelButton,
     .tabOrder = 2,
     .cancel = true},
    {.kind = ControlKind::Timer, .name = "writetimer", .enabled = false, .interval = 1},
};

}  // namespace

constexpr toolkit::FormLayout iformLayout = {
    .className = "Tiform",
    .name = "iform",
    .caption = texts::kProgressCaption,
    .bounds = {0, 0, 220, 170},
    .border = toolkit::BorderStyle::Single,
    .systemMenu = false,
    .centred = true,
    .controls = controls,
};

#pragma once
// The layouts of the five forms, as the toolkit builds them: every control
// with its kind, name, geometry, caption and properties.

#include "toolkit/layout.h"

extern const toolkit::FormLayout mformLayout;      // the menu
extern const toolkit::FormLayout instformLayout;   // the destination dialog
extern const toolkit::FormLayout dirformLayout;    // the folder-browse dialog
extern const toolkit::FormLayout iformLayout;      // the install-progress dialog
extern const toolkit::FormLayout uninsformLayout;  // the uninstall dialog

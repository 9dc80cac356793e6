#pragma once
// How the toolkit paints the progress bar it draws itself, in both
// backends: the theme's bar and fill parts, or a sunken frame around a face
// and a fill in system colours. The system colours serve where the system
// has no theme, and always with high contrast on, where the theme's own
// colours would hide the ones the user chose.

namespace toolkit {

enum class SystemColour { ButtonFace, Highlight };

struct BarPaint {
  bool themeParts = false;
  SystemColour face = SystemColour::ButtonFace;  // inside the frame
  SystemColour fill = SystemColour::Highlight;
  bool operator==(const BarPaint&) const = default;
};

inline BarPaint progressBarPaint(bool highContrast, bool themed) { return {.themeParts = themed && !highContrast}; }

}  // namespace toolkit

// A message box the wizards would show, drawn on the simulated machine: the simulated
// MessageBox answers at once and draws nothing, so kitpreview lays the box out itself.
#pragma once

#include <string>

namespace kitpreview {

// Draws an error box (stop icon place, `text` word-wrapped, an OK button) captioned `caption`,
// whole window, as `file` (PNG, a host path). Laid out as Windows 98 does with MS Sans Serif 8;
// the icon itself is not drawn. False, with the reason, when it cannot be written.
bool SaveErrorBoxPicture(const std::string& caption, const std::string& text,
                         const std::string& file, std::string* error);

}  // namespace kitpreview

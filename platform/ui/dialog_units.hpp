#pragma once
// Dialog templates measure in dialog units: a quarter of the dialog font's
// average character width horizontally, an eighth of its height vertically.

#include "platform/ui/resources.hpp"

#include <QFont>
#include <QRect>

namespace kelvara {

struct DialogBaseUnits {
    int charWidth;  // average width of the font's letters, in pixels
    int charHeight; // line height of the font, in pixels
};

// The template's font where the system has it, otherwise a sans-serif face
// of the same size.
QFont DialogFont(const DialogTemplate& dialog);

DialogBaseUnits BaseUnitsOf(const QFont& font);

QRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int cx, int cy);

} // namespace kelvara

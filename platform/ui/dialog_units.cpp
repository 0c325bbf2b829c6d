#include "platform/ui/dialog_units.hpp"

#include <QFontMetrics>
#include <QString>
#include <cstdint>

namespace kelvara {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / c : (product - half) / c;
    return static_cast<int>(rounded);
}

} // namespace

QFont DialogFont(const DialogTemplate& dialog) {
    QFont font(QString::fromLatin1(dialog.fontName));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(dialog.pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    // The average over the 52 Latin letters, rounded, is how the classic dialog
    // manager derives its horizontal base unit.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int cx, int cy) {
    return {MulDiv(x, units.charWidth, 4), MulDiv(y, units.charHeight, 8),
            MulDiv(cx, units.charWidth, 4), MulDiv(cy, units.charHeight, 8)};
}

} // namespace kelvara

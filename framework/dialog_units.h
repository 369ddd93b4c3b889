#pragma once
// Dialog units to pixels, computed from the dialog font the way Windows does it, so a layout
// written in dialog units holds at any font size and screen resolution.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string_view>

namespace fw {

struct BaseUnits {
    int x = 0;  // average character width: width of "A".."Z""a".."z" / 52, rounded
    int y = 0;  // character height of the font
};

// Base units of a font: x = (width of the 52 letters + 26) / 52, y = the font's line height.
BaseUnits ComputeBaseUnits(const QFont& font);

// The dialog font for a template's font name and size. Names that are not installed (such as
// "MS Sans Serif") map to the system's sans-serif family at the same point size; a font whose
// text does not fit its own line (one an edit would show nothing in) to a common sans-serif.
QFont MakeDialogFont(std::string_view name, int points);

// `font`, or when its text does not fit its own line, the same size in the first installed
// common sans-serif whose text does; `font` when there is none.
QFont ReadableFont(const QFont& font);

// Makes the application's font (the message boxes' and every window's without a font of its
// own) readable as ReadableFont does.
void UseReadableApplicationFont();

// Integer a * b / c rounded half away from zero, as the platform's MulDiv.
int MulDivRound(int a, int b, int c);

// x_px = x * baseX / 4, y_px = y * baseY / 8.
int DialogUnitsToPixelsX(int x, const BaseUnits& units);
int DialogUnitsToPixelsY(int y, const BaseUnits& units);
QRect DialogUnitsToPixels(const QRect& rect, const BaseUnits& units);

// Widths the pages give in pixels (list view columns) are meant for the controller's 8-point
// dialog font, whose average character is 6 pixels wide; with a wider font they widen alike, so
// the texts they were sized for still fit. FromFontPixelsX is the inverse.
inline constexpr int kReferenceBaseX = 6;
int ToFontPixelsX(int pixels, const BaseUnits& units);
int FromFontPixelsX(int pixels, const BaseUnits& units);

}  // namespace fw

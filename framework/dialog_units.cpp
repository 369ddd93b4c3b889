#include "framework/dialog_units.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <cstdlib>

#include "framework/text.h"

namespace fw {

BaseUnits ComputeBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    BaseUnits units;
    units.x = (letters + 26) / 52;
    units.y = metrics.height();
    if (units.x < 1) {
        units.x = 1;
    }
    if (units.y < 1) {
        units.y = 1;
    }
    return units;
}

QFont MakeDialogFont(std::string_view name, int points) {
    const QString family = ToQt(name);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Only use the named family when it is really installed; otherwise (the usual case for the
    // Windows bitmap fonts) keep the system's sans-serif.
    if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
        font.setFamily(family);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    if (points > 0) {
        font.setPointSize(points);
    }
    return font;
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(a) * b;
    long long quotient = product / c;
    const long long remainder = product % c;
    // Round half away from zero.
    if (std::llabs(remainder) * 2 >= std::llabs(static_cast<long long>(c))) {
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    }
    return static_cast<int>(quotient);
}

int DialogUnitsToPixelsX(int x, const BaseUnits& units) {
    return MulDivRound(x, units.x, 4);
}
int DialogUnitsToPixelsY(int y, const BaseUnits& units) {
    return MulDivRound(y, units.y, 8);
}

QRect DialogUnitsToPixels(const QRect& rect, const BaseUnits& units) {
    // Like the platform: both corners are mapped, so adjacent rectangles stay adjacent.
    const int left = DialogUnitsToPixelsX(rect.x(), units);
    const int top = DialogUnitsToPixelsY(rect.y(), units);
    const int right = DialogUnitsToPixelsX(rect.x() + rect.width(), units);
    const int bottom = DialogUnitsToPixelsY(rect.y() + rect.height(), units);
    return QRect(left, top, right - left, bottom - top);
}

int ToFontPixelsX(int pixels, const BaseUnits& units) {
    return MulDivRound(pixels, units.x, kReferenceBaseX);
}

int FromFontPixelsX(int pixels, const BaseUnits& units) {
    return MulDivRound(pixels, kReferenceBaseX, units.x);
}

}  // namespace fw

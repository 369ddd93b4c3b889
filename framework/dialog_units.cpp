#include "framework/dialog_units.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <array>
#include <cstdlib>

#include "framework/text.h"

namespace fw {
namespace {

// Whether a font's text fits its own line, as in every font made for text. An edit centres its
// text by the text's bounding box, not by the line: in a last-resort font whose glyph boxes are
// several lines tall (Wine without the Windows fonts gives the dialog font the first family it
// knows, there a math font) it centres the text out of sight and shows an empty box.
bool TextFitsLine(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.boundingRect(QStringLiteral("0123456789AZgjy")).height() <=
           metrics.height() * 3 / 2;
}

// Sans-serif families found on most systems, for a dialog font whose text does not fit its line.
constexpr std::array kSansSerifFamilies = {"Tahoma", "DejaVu Sans", "Liberation Sans", "Noto Sans",
                                           "Arial"};

}  // namespace

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
    return ReadableFont(font);
}

QFont ReadableFont(const QFont& font) {
    if (TextFitsLine(font)) {
        return font;
    }
    for (const char* candidate : kSansSerifFamilies) {
        QFont other = font;
        other.setFamily(QString::fromLatin1(candidate));
        if (QFontDatabase::hasFamily(other.family()) && TextFitsLine(other)) {
            return other;
        }
    }
    return font;
}

void UseReadableApplicationFont() {
    const QFont font = QApplication::font();
    const QFont readable = ReadableFont(font);
    if (readable != font) {
        QApplication::setFont(readable);
    }
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

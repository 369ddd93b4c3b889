// Dialog units: base units from the dialog font, MulDiv rounding, template geometry at two fonts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>

#include "framework/framework.h"
#include "resources/templates/template_900.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t900;

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(fw::MulDivRound(7, 6, 4), 11);    // 10.5 -> 11
    EXPECT_EQ(fw::MulDivRound(5, 6, 4), 8);     // 7.5 -> 8
    EXPECT_EQ(fw::MulDivRound(3, 5, 4), 4);     // 3.75 -> 4
    EXPECT_EQ(fw::MulDivRound(1, 5, 4), 1);     // 1.25 -> 1
    EXPECT_EQ(fw::MulDivRound(-7, 6, 4), -11);  // -10.5 -> -11
    EXPECT_EQ(fw::MulDivRound(424, 6, 4), 636);
    EXPECT_EQ(fw::MulDivRound(271, 13, 8), 440);  // 440.375
    EXPECT_EQ(fw::MulDivRound(1, 1, 0), -1);
}

TEST(DialogUnits, ConversionUsesQuarterWidthAndEighthHeight) {
    const fw::BaseUnits classic{6, 13};  // the classic 8-point dialog font
    EXPECT_EQ(fw::DialogUnitsToPixelsX(418, classic), 627);
    EXPECT_EQ(fw::DialogUnitsToPixelsY(245, classic), 398);  // 398.125
    const QRect rect = fw::DialogUnitsToPixels(QRect(324, 205, 88, 16), classic);
    EXPECT_EQ(rect, QRect(486, 333, 132, 26));
    // Adjacent rectangles in dialog units stay adjacent in pixels.
    const QRect left = fw::DialogUnitsToPixels(QRect(3, 3, 5, 5), fw::BaseUnits{7, 15});
    const QRect right = fw::DialogUnitsToPixels(QRect(8, 3, 5, 5), fw::BaseUnits{7, 15});
    EXPECT_EQ(left.x() + left.width(), right.x());
}

TEST(DialogUnits, BaseUnitsFollowTheFont) {
    for (int points : {8, 14}) {
        const QFont font = fw::MakeDialogFont("MS Sans Serif", points);
        const fw::BaseUnits units = fw::ComputeBaseUnits(font);
        const QFontMetrics metrics(font);
        const int letters = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        EXPECT_EQ(units.x, (letters + 26) / 52) << points;
        EXPECT_EQ(units.y, metrics.height()) << points;
    }
    const fw::BaseUnits small = fw::ComputeBaseUnits(fw::MakeDialogFont("MS Sans Serif", 8));
    const fw::BaseUnits large = fw::ComputeBaseUnits(fw::MakeDialogFont("MS Sans Serif", 16));
    EXPECT_GT(large.x, small.x);
    EXPECT_GT(large.y, small.y);
}

TEST(DialogUnits, MissingFontFamilyMapsToAnInstalledSansSerif) {
    const QFont font = fw::MakeDialogFont("MS Sans Serif", 8);
    EXPECT_TRUE(QFontDatabase::hasFamily(QFontInfo(font).family()));
    EXPECT_EQ(font.pointSize(), 8);
}

// Whether a text font's text fits its line, as ReadableFont asks.
bool FitsLine(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.boundingRect(QStringLiteral("0123456789AZgjy")).height() <=
           metrics.height() * 3 / 2;
}

// Wine without the Windows fonts gives the system font a family whose glyph boxes are several
// lines tall; the program's fonts, Qt's message boxes' included, are then replaced at the same
// size. Natively (offscreen) the system font fits and is kept; CI also runs this under Wine on
// the `windows` platform, where it does not.
TEST(DialogUnits, TheApplicationFontAndTheDialogFontFitTheirLines) {
    const QFont before = QApplication::font();
    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    QApplication::setFont(system);
    fw::UseReadableApplicationFont();
    EXPECT_TRUE(FitsLine(QApplication::font())) << QApplication::font().family().toStdString();
    EXPECT_EQ(QApplication::font().pointSize(), system.pointSize());
    if (FitsLine(system)) {
        EXPECT_EQ(QApplication::font(), system);
    }
    EXPECT_TRUE(FitsLine(fw::MakeDialogFont("MS Sans Serif", 8)));
    QApplication::setFont(before);
}

// A copy of template 900 with another font: every control's geometry follows the base units.
TEST(DialogUnits, TemplateGeometryScalesWithTheDialogFont) {
    const fw::DialogTemplate* original = fw::FindDialogTemplate(kTemplate);
    ASSERT_NE(original, nullptr);
    fw::DialogTemplate bigger = *original;
    bigger.fontPoints = 16;

    for (const fw::DialogTemplate* tmpl :
         {original, static_cast<const fw::DialogTemplate*>(&bigger)}) {
        fw::Dialog dialog;
        ASSERT_TRUE(dialog.CreateFromTemplate(*tmpl, nullptr));
        const fw::BaseUnits units =
            fw::ComputeBaseUnits(fw::MakeDialogFont("MS Sans Serif", tmpl->fontPoints));
        EXPECT_EQ(dialog.Units().x, units.x);
        EXPECT_EQ(dialog.Units().y, units.y);
        EXPECT_EQ(dialog.width(), fw::MulDivRound(418, units.x, 4));
        EXPECT_EQ(dialog.height(), fw::MulDivRound(245, units.y, 8));
        QWidget* apply = dialog.FindControl(kApply)->Widget();
        EXPECT_EQ(apply->geometry(), fw::DialogUnitsToPixels(QRect(324, 205, 88, 16), units));
        dialog.Item<fw::ListBox>(kSortedList).AddString("row");
        uikit::ExpectListBoxAt(dialog, kSortedList, QRect(7, 14, 60, 50));
    }
}

TEST(Templates, LookupByNumber) {
    const fw::DialogTemplate* tmpl = fw::FindDialogTemplate(901);
    ASSERT_NE(tmpl, nullptr);
    EXPECT_EQ(tmpl->number, 901);
    EXPECT_EQ(tmpl->caption, "Pick a name");
    EXPECT_EQ(fw::FindDialogTemplate(-5), nullptr);
    EXPECT_EQ(fw::FindDialogTemplate(99999), nullptr);
    const fw::MenuTemplate* menu = fw::FindMenuTemplate(902);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->popups.size(), 3u);
    EXPECT_EQ(fw::FindMenuTemplate(99999), nullptr);
    fw::Dialog dialog(99999);
    EXPECT_FALSE(dialog.Create(nullptr));
    EXPECT_EQ(dialog.DoModal(), -1);
}

}  // namespace

namespace {

TEST(Icons, PicturesComeFromTheInstalledProvider) {
    EXPECT_TRUE(fw::LoadIcon(128).isNull());
    std::vector<int> asked;
    fw::SetIconProvider([&asked](int id) {
        asked.push_back(id);
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        return id == 128 ? QIcon(pixmap) : QIcon();
    });
    const fw::DialogTemplate tmpl{990,
                                  "About",
                                  151,
                                  59,
                                  "MS Sans Serif",
                                  8,
                                  fw::WindowKind::Popup,
                                  fw::kCaption,
                                  0,
                                  {{fw::kNoId, fw::ControlKind::Icon, "", 8, 8, 20, 20, 0, 128},
                                   {1169, fw::ControlKind::Label, "xxxxxxxxx", 64, 29, 39, 8}}};
    fw::Dialog dialog;
    ASSERT_TRUE(dialog.CreateFromTemplate(tmpl, nullptr));
    fw::SetIconProvider({});
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), 128);
    bool found = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (auto* icon = dynamic_cast<fw::IconLabel*>(label)) {
            found = true;
            EXPECT_EQ(icon->IconId(), 128);
            EXPECT_FALSE(icon->pixmap().isNull());
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(dialog.GetItemText(1169), "xxxxxxxxx");
    EXPECT_TRUE(fw::LoadIcon(128).isNull());
}

}  // namespace

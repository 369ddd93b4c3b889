// The Templates page end to end: keyboard only, on a copy of the sample.

#include <QDir>

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

constexpr char kTemplateArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\template";
constexpr char kTemplateListArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\templatelist";

// The keys of `dump` at or below `area`.
Dump Area(const Dump& dump, const std::string& area) {
    Dump out;
    for (const auto& [path, values] : dump) {
        if (path == area || path.rfind(area + "\\", 0) == 0)
            out[path] = values;
    }
    return out;
}

TEST_F(EndToEnd, AddATypedAndAPickedDirectoryOnTheTemplatesPageApplyAndExitByKeyboard) {
    const Dump before = ReadStore(file_);
    ASSERT_TRUE(before.count(kTemplateArea)) << "the sample has no templates";
    const std::string typed = std::string(kTemplateListArea) + "\\vlx:/r1/cell/";
    const std::string picked = std::string(kTemplateListArea) + "\\vlx:/r2/";
    ASSERT_FALSE(before.count(typed));
    ASSERT_FALSE(before.count(picked));
    // The picker's drive C: holds the controller's folders below the sample's installation
    // directory C:\VLX.
    const QString drive = dir_.filePath(QStringLiteral("drive"));
    for (const char* folder : {"Archive", "VLX/Roboter/VLX/R1", "VLX/Roboter/VLX/R2"}) {
        ASSERT_TRUE(QDir().mkpath(drive + QLatin1Char('/') + QLatin1String(folder)));
    }

    ASSERT_FALSE(Start({QStringLiteral("--drive"), QStringLiteral("C:=") + drive}).isEmpty())
        << "main window did not appear";
    // "&5 Templates": its first control, the directory's "Full path", has the focus; Enter there
    // adds the directory in its vlx: form.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("5")}));
    ASSERT_TRUE(Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Cell")));
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ASSERT_TRUE(Running()) << "Enter closed the program";

    // "Browse for Path": the picker opens on C:\ with the focus in its edit. In its directories
    // list Enter opens the selected folder: [VLX], then [Roboter], [VLX] and [R2], each below
    // "[..]". Enter in the edit then ends the picker with OK.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(Keys({QStringLiteral("Down"), QStringLiteral("Return"), QStringLiteral("Down"),
                      QStringLiteral("Return")}));
    ASSERT_TRUE(Keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(Keys({QStringLiteral("shift+Tab"), QStringLiteral("Return")}));
    ASSERT_TRUE(Running()) << "the program ended in the picker";
    // Back on "Browse for Path"; the next button is "Add to defined".
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    // The templates are written back exactly; the lists gained two empty directories.
    EXPECT_EQ(Area(after, kTemplateArea), Area(before, kTemplateArea));
    Dump lists = Area(before, kTemplateListArea);
    lists[typed] = {};
    lists[picked] = {};
    EXPECT_EQ(Area(after, kTemplateListArea), lists);
    ExpectUnchangedOutside(before, after, {kTemplateArea, kTemplateListArea});
}

}  // namespace

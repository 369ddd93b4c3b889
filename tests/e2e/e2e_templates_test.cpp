// The Templates page end to end: keyboard only, on a copy of the sample.

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

TEST_F(EndToEnd, AddADirectoryOnTheTemplatesPageApplyAndExitByKeyboard) {
    const Dump before = ReadStore(file_);
    ASSERT_TRUE(before.count(kTemplateArea)) << "the sample has no templates";
    const std::string added = std::string(kTemplateListArea) + "\\vlx:/r1/cell/";
    ASSERT_FALSE(before.count(added));

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&5 Templates": its first control, the directory's "Full path", has the focus. The
    // sample's installation directory is C:\VLX, so the path is stored in its vlx: form.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("5")}));
    ASSERT_TRUE(Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Cell")));
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ASSERT_TRUE(Running()) << "Enter closed the program";
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    // The templates are written back exactly; the lists gained one empty directory.
    EXPECT_EQ(Area(after, kTemplateArea), Area(before, kTemplateArea));
    Dump lists = Area(before, kTemplateListArea);
    lists[added] = {};
    EXPECT_EQ(Area(after, kTemplateListArea), lists);
    ExpectUnchangedOutside(before, after, {kTemplateArea, kTemplateListArea});
}

}  // namespace

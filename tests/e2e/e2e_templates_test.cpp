// The Templates page end to end: keyboard only, on a copy of the sample.

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

constexpr char kTemplateListArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\templatelist";

// Adds a typed directory and one picked from the controller's drive C: (the fixture's).
void AddATypedAndAPickedDirectory(EndToEnd& program) {
    // "&5 Templates": its first control, the directory's "Full path", has the focus; Enter there
    // adds the directory in its vlx: form.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("5")}));
    ASSERT_TRUE(program.Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Cell")));
    ASSERT_TRUE(program.Keys({QStringLiteral("Return")}));
    ASSERT_TRUE(program.Running()) << "Enter closed the program";

    // "Browse for Path": the picker opens on C:\ with the focus in its edit. In its directories
    // list Enter opens the selected folder: [VLX], chosen by typing its first characters (a
    // Windows C:\ holds other folders too), then [Roboter], [VLX] and [R2], each below "[..]".
    // Enter in the edit then ends the picker with OK.
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_FALSE(program.WaitForWindow(QStringLiteral("^Please select a path$")).isEmpty())
        << "the directory picker did not appear";
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("bracketleft"),
                              QStringLiteral("v"), QStringLiteral("Return")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("Down"), QStringLiteral("Return"),
                              QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("shift+Tab"), QStringLiteral("Return")}));
    ASSERT_TRUE(program.Running()) << "the program ended in the picker";
    // Back on "Browse for Path"; the next button is "Add to defined".
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
}

void ExpectTwoEmptyDirectories(const Dump& before, Dump& expected) {
    ASSERT_TRUE(
        before.count("software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\template"))
        << "the sample has no templates";
    const std::string typed = std::string(kTemplateListArea) + "\\vlx:/r1/cell/";
    const std::string picked = std::string(kTemplateListArea) + "\\vlx:/r2/";
    ASSERT_FALSE(before.count(typed));
    ASSERT_FALSE(before.count(picked));
    // The templates and the other lists are written back exactly.
    expected[typed] = {};
    expected[picked] = {};
}

}  // namespace

namespace e2e {
const PageEdit kTemplatesEdit = {"Templates/Templates list", &AddATypedAndAPickedDirectory,
                                 &ExpectTwoEmptyDirectories};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, AddATypedAndAPickedDirectoryOnTheTemplatesPageApplyAndExitByKeyboard) {
    RunEdits({&kTemplatesEdit});
}

}  // namespace

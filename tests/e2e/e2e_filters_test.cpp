// The Filters page end to end: keyboard only, on a copy of the sample.

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

constexpr char kFilterArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\filter";
constexpr char kFilterListArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\filterlist";

TEST_F(EndToEnd, OfferAFilterToANewLevelOnTheFiltersPageAndApplyByKeyboard) {
    const Dump before = ReadStore(file_);
    const std::string demo = std::string(kFilterListArea) + "\\demo";
    ASSERT_TRUE(before.count(std::string(kFilterArea) + "\\archives"))
        << "the sample must have the filter Archives";
    ASSERT_FALSE(before.count(demo)) << "the sample must leave the level Demo without filters";

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&2 Filters": the supported levels (Admin, DEFAULT, Demo, ...) get the focus; Enter
    // released there adds "Demo".
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("2")}));
    ASSERT_TRUE(Keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    // On to the all-filters list (All, Archives, ...): Enter offers Archives to Demo, whose
    // first filter becomes its default.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                      QStringLiteral("Tab"), QStringLiteral("Down"), QStringLiteral("Return")}));
    // Delete on All, which levels use, asks first; Esc answers Cancel and nothing goes.
    ASSERT_TRUE(Keys({QStringLiteral("Up"), QStringLiteral("Delete")}));
    ASSERT_TRUE(Keys({QStringLiteral("Escape")}));
    ASSERT_TRUE(Running()) << "the question closed the program";
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));  // "E&xit"
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    ASSERT_FALSE(after.empty());
    // The new level list: its entry and its default.
    ASSERT_TRUE(after.count(demo)) << "the new level was not written";
    EXPECT_EQ(after.at(demo),
              (std::vector<std::string>{"archives|4|01000000", "|1|417263686976657300"}));
    // Every filter and every other level list is written back exactly as it was.
    for (const auto& [path, values] : before) {
        if (path.rfind(kFilterArea, 0) == 0) {
            auto it = after.find(path);
            ASSERT_NE(it, after.end()) << "key lost: " << path;
            EXPECT_EQ(it->second, values) << "values changed under " << path;
        }
    }
    for (const auto& [path, values] : after) {
        if (path.rfind(kFilterArea, 0) == 0 && path != demo) {
            EXPECT_TRUE(before.count(path)) << "key added: " << path;
        }
    }
    ExpectUnchangedOutside(before, after, {kFilterArea, kFilterListArea});
}

}  // namespace

// The Filters page end to end: keyboard only, on a copy of the sample.

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

constexpr char kFilterListArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\filterlist";

// Offers the filter Archives to the new level Demo; a refused delete on the way.
void OfferAFilterToANewLevel(EndToEnd& program) {
    // "&2 Filters": the supported levels (Admin, DEFAULT, Demo, ...) get the focus; Enter
    // released there adds "Demo".
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("2")}));
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    // On to the all-filters list (All, Archives, ...): Enter offers Archives to Demo, whose
    // first filter becomes its default.
    ASSERT_TRUE(program.Keys(Repeated(QStringLiteral("Tab"), 4) +
                             QStringList{QStringLiteral("Down"), QStringLiteral("Return")}));
    // Delete on All, which levels use, asks first; Esc answers Cancel and nothing goes.
    ASSERT_TRUE(program.Keys({QStringLiteral("Up"), QStringLiteral("Delete")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("Escape")}));
    ASSERT_TRUE(program.Running()) << "the question closed the program";
}

void ExpectTheNewLevelList(const Dump& before, Dump& expected) {
    ASSERT_TRUE(before.count(
        "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\filter\\archives"))
        << "the sample must have the filter Archives";
    const std::string demo = std::string(kFilterListArea) + "\\demo";
    ASSERT_FALSE(before.count(demo)) << "the sample must leave the level Demo without filters";
    // Its entry and its default; every filter and every other level list is written back
    // exactly as it was.
    expected[demo] = Sorted({DwordEntry("Archives", 1), TextEntry("", "Archives")});
}

}  // namespace

namespace e2e {
const PageEdit kFiltersEdit = {"Filter/Filter list", &OfferAFilterToANewLevel,
                               &ExpectTheNewLevelList};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, OfferAFilterToANewLevelOnTheFiltersPageAndApplyByKeyboard) {
    RunEdits({&kFiltersEdit});
}

}  // namespace

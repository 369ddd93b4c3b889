// The Methods and User Methods pages end to end: keyboard only, on a copy of the sample.

#include <string>
#include <vector>

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

constexpr char kModulProc[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\modulproc";

std::string MethodKey(int number) {
    return std::string(kModulProc) + "\\" + std::to_string(number);
}

// Toggles a system and an item condition of method 2.
void ToggleConditions(EndToEnd& program) {
    // "&3 Methods": the methods list has the focus; Down selects method 2. Tab moves to the
    // system conditions, whose first row Space toggles; then the item conditions, whose last
    // row ("Protected File", bit 11) End selects and Space toggles.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("3")}));
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Down"), QStringLiteral("Tab"), QStringLiteral("space"),
                      QStringLiteral("Tab"), QStringLiteral("End"), QStringLiteral("space")}));
}

void ExpectTheToggledConditions(const Dump& before, Dump& expected) {
    const std::string method2 = MethodKey(2);
    ASSERT_EQ(before.count(method2), 1u) << "the sample has no method 2";
    ASSERT_EQ(before.at(method2),
              Sorted({TextEntry("", "New"), DwordEntry("ItemConditions", 0x40000700),
                      DwordEntry("SystemConditions", 0x0300c900)}))
        << "the sample's method 2 has changed";
    expected[method2] = Sorted({TextEntry("", "New"), DwordEntry("ItemConditions", 0x40000f00),
                                DwordEntry("SystemConditions", 0x0300c901)});
}

// Renames the first user method (90).
void RenameAUserMethod(EndToEnd& program) {
    // "&4 User Methods": Tab from the list into the name edit selects its text.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("4")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("B"), QStringLiteral("a"),
                              QStringLiteral("c"), QStringLiteral("k"), QStringLiteral("u"),
                              QStringLiteral("p")}));
}

void ExpectTheRenamedAndTheDefaultUserMethods(const Dump& before, Dump& expected) {
    const std::string slot90 = MethodKey(90);
    ASSERT_EQ(before.count(slot90), 1u);
    for (int n = 94; n <= 99; ++n) {
        ASSERT_EQ(before.count(MethodKey(n)), 0u)
            << "the sample must leave user method " << n << " unset";
    }
    // The user method keeps its conditions and takes the new name.
    SetEntry(expected[slot90], TextEntry("", "Backup"));
    // The user methods the sample leaves unset are created with their defaults.
    for (int n = 94; n <= 99; ++n) {
        const std::string key = MethodKey(n);
        expected[key] =
            Sorted({TextEntry("", "ModulProc" + std::to_string(n)), DwordEntry("ItemConditions", 0),
                    DwordEntry("SystemConditions", 0)});
        for (const char* level : {"admin", "default", "demo", "expert", "user"}) {
            expected[key + "\\" + level] = {DwordEntry("Active", 1), DwordEntry("AskBefore", 1)};
        }
    }
}

}  // namespace

namespace e2e {
const PageEdit kMethodsEdit = {"Methods", &ToggleConditions, &ExpectTheToggledConditions};
const PageEdit kUserMethodsEdit = {"User Methods", &RenameAUserMethod,
                                   &ExpectTheRenamedAndTheDefaultUserMethods};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, ToggleConditionsOnTheMethodsPageRenameAUserMethodApplyBoth) {
    RunEdits({&kMethodsEdit, &kUserMethodsEdit});
}

}  // namespace

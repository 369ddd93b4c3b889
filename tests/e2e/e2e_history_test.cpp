// The History Info page end to end: keyboard only, on a copy of the sample.

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

constexpr char kArchiveArea[] = "software\\vorna roboter gmbh\\quorin3\\manager\\archive";

// A criterion off, a new path, a count cut to two digits, and the switch that forces others.
void EditTheSettings(EndToEnd& program) {
    // "&8 History Info": the criteria list has the focus, on its first row.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("8")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("space")}));  // CompareDate off
    // The history path, then past "Browse for it" to the count, where a third digit is cut.
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("ctrl+a")}));
    ASSERT_TRUE(XdoTool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("100"),
                         QStringLiteral("E:\\Traces")})
                    .has_value());
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("ctrl+a"),
                      QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    // Feedback, info file, disk counting, then "Delete robot directory before restoring" on.
    ASSERT_TRUE(
        program.Keys(Repeated(QStringLiteral("Tab"), 4) + QStringList{QStringLiteral("space")}));
}

void ExpectTheFourEdits(const Dump& before, Dump& expected) {
    ASSERT_TRUE(before.count(kArchiveArea)) << "the sample has no Archive key";
    const std::vector<std::string>& archive = before.at(kArchiveArea);
    ASSERT_TRUE(std::count(archive.begin(), archive.end(), DwordEntry("CompareDate", 1)))
        << "the sample must check CompareDate";
    ASSERT_TRUE(std::count(archive.begin(), archive.end(), DwordEntry("DeleteR1", 0)));
    // Exactly these changed; every other value of the key and its subkeys (the archive
    // configurations) are as they were.
    std::vector<std::string>& values = expected[kArchiveArea];
    SetEntry(values, DwordEntry("CompareDate", 0));
    SetEntry(values, TextEntry("HistoryPath", "E:\\Traces"));
    SetEntry(values, DwordEntry("MaxHistoryCount", 12));
    SetEntry(values, DwordEntry("DeleteR1", 1));
}

}  // namespace

namespace e2e {
const PageEdit kHistoryEdit = {"History Info", &EditTheSettings, &ExpectTheFourEdits};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, EditTheHistorySettingsByKeyboardAndApply) {
    RunEdits({&kHistoryEdit});
}

}  // namespace

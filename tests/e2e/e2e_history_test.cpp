// The History Info page end to end: keyboard only, on a copy of the sample.

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

constexpr char kArchiveArea[] = "software\\vorna roboter gmbh\\quorin3\\manager\\archive";

// "name|4|<little-endian hex>" as the dump holds a REG_DWORD.
std::string DwordEntry(const std::string& name, unsigned value) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", value & 0xff, (value >> 8) & 0xff,
                  (value >> 16) & 0xff, (value >> 24) & 0xff);
    return name + "|4|" + hex;
}

std::string StringEntry(const std::string& name, const std::string& text) {
    std::string entry = name + "|1|";
    static const char* hex = "0123456789abcdef";
    for (unsigned char c : text + '\0') {
        entry += hex[c >> 4];
        entry += hex[c & 15];
    }
    return entry;
}

// Replaces the entry of value `name` in a sorted dump list (and keeps it sorted).
void SetEntry(std::vector<std::string>& values, const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('|') + 1);
    std::erase_if(values, [&](const std::string& v) { return v.rfind(name, 0) == 0; });
    values.push_back(entry);
    std::sort(values.begin(), values.end());
}

TEST_F(EndToEnd, EditTheHistorySettingsByKeyboardAndApply) {
    const Dump before = ReadStore(file_);
    ASSERT_TRUE(before.count(kArchiveArea)) << "the sample has no Archive key";
    const std::vector<std::string>& archive = before.at(kArchiveArea);
    ASSERT_TRUE(std::count(archive.begin(), archive.end(), DwordEntry("comparedate", 1)))
        << "the sample must check CompareDate";
    ASSERT_TRUE(std::count(archive.begin(), archive.end(), DwordEntry("deleter1", 0)));

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&8 History Info": the criteria list has the focus, on its first row.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("8")}));
    ASSERT_TRUE(Keys({QStringLiteral("space")}));  // CompareDate off
    // The history path, then past "Browse for it" to the count, where a third digit is cut.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("ctrl+a")}));
    ASSERT_TRUE(XdoTool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("100"),
                         QStringLiteral("E:\\Traces")})
                    .has_value());
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("ctrl+a"),
                      QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    // Feedback, info file, disk counting, then "Delete robot directory before restoring" on.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                      QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    // Exactly the four edits changed; every other value of the key, its subkeys (the archive
    // configurations) and every other area are as they were.
    Dump expected = before;
    std::vector<std::string>& values = expected[kArchiveArea];
    SetEntry(values, DwordEntry("comparedate", 0));
    SetEntry(values, StringEntry("historypath", "E:\\Traces"));
    SetEntry(values, DwordEntry("maxhistorycount", 12));
    SetEntry(values, DwordEntry("deleter1", 1));
    const Dump after = ReadStore(file_);
    EXPECT_EQ(after.at(kArchiveArea), values);
    EXPECT_EQ(after, expected);
}

}  // namespace

// The General and Upgrade Manager pages end to end: keyboard only, on a copy of the sample.

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

constexpr char kTreeArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\predefinedtree";
constexpr char kVersionKey[] = "software\\vorna roboter gmbh\\version";
constexpr char kWatchedKey[] =
    "software\\vorna roboter gmbh\\quorin3\\manager\\upgrade\\watcheddestinationpaths";

// "name|type|hex data" of a REG_SZ value, as ReadStore lists it.
std::string TextValue(const std::string& name, const std::string& text) {
    std::string entry = Lower(name) + "|1|";
    static const char* hex = "0123456789abcdef";
    for (unsigned char c : text + std::string(1, '\0')) {
        entry += hex[c >> 4];
        entry += hex[c & 15];
    }
    return entry;
}

TEST_F(EndToEnd, AddAFolderOnTheGeneralPageApplyAndExit) {
    const Dump before = ReadStore(file_);
    const std::string tree = kTreeArea;
    ASSERT_TRUE(before.count(tree + "\\vlx:\\r1")) << "the sample has no vlx:\\r1 folder";
    ASSERT_FALSE(before.count(tree + "\\vlx:\\r1\\log"));

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&9 General Layout"; its first control, "Full Path", takes the focus.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("9")}));
    // The installation directory's path is stored in its short form, in lower case.
    ASSERT_TRUE(Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Log")));
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ASSERT_TRUE(Running()) << "Enter closed the program";
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    // Every folder is written back with its flag, and the new one checked.
    for (const auto& [path, values] : before) {
        if (path == tree || path.rfind(tree + "\\", 0) == 0) {
            const auto it = after.find(path);
            ASSERT_NE(it, after.end()) << "folder lost: " << path;
            EXPECT_EQ(it->second, values) << path;
        }
    }
    const auto log = after.find(tree + "\\vlx:\\r1\\log");
    ASSERT_NE(log, after.end()) << "the folder was not added";
    EXPECT_EQ(log->second, (std::vector<std::string>{"changeallowed|4|01000000"}));
    // The BackUp and Manager\File values are written as they were, and nothing else changed.
    ExpectUnchangedOutside(before, after, {tree});
    EXPECT_EQ(after.size(), before.size() + 1);
}

TEST_F(EndToEnd, UpdateAFileVersionAndAddAWatchedPathOnTheUpgradePage) {
    const Dump before = ReadStore(file_);
    const std::string vlx41 = std::string(kVersionKey) + "\\vlx 4.1";
    ASSERT_TRUE(before.count(vlx41)) << "the sample has no system type VLX 4.1";

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&6 Upgrade Manager": the system types list has the focus, VLX 4.1 selected.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("6")}));
    ASSERT_TRUE(Keys({QStringLiteral("Tab")}));  // file "Name:"
    ASSERT_TRUE(Type(QStringLiteral("kestrin.OCX")));
    ASSERT_TRUE(Keys({QStringLiteral("Tab")}));  // "Version:"
    ASSERT_TRUE(Type(QStringLiteral("1.9.3.0")));
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("space")}));  // "Add to defined"
    // Past "Remove from defined" and the file list to the monitored "Name:".
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab")}));
    ASSERT_TRUE(Type(QStringLiteral(" Logs ")));
    ASSERT_TRUE(Keys({QStringLiteral("Tab")}));  // "Path:"
    ASSERT_TRUE(Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Log")));
    // "Browse for it" opens the picker; cancelling it still puts the path in its short form.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_TRUE(Keys({QStringLiteral("Escape")}));
    ASSERT_TRUE(Running()) << "Esc in the picker closed the program";
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("space")}));  // "Add to defined"
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    // The file keeps its place among the others; only its version changed.
    std::vector<std::string> files = before.at(vlx41);
    for (std::string& entry : files) {
        if (entry.rfind("kestrin.ocx|", 0) == 0) {
            entry = TextValue("kestrin.ocx", "1.9.3.0");
        }
    }
    EXPECT_EQ(after.at(vlx41), files);
    std::vector<std::string> watched = before.at(kWatchedKey);
    watched.push_back(TextValue("logs", "vlx:\\r1\\log"));
    std::sort(watched.begin(), watched.end());
    EXPECT_EQ(after.at(kWatchedKey), watched);
    // "InstallationDir", the other system types and every other area are as they were.
    ExpectUnchangedOutside(before, after, {vlx41, kWatchedKey});
}

}  // namespace

// The General and Upgrade Manager pages end to end: keyboard only, on a copy of the sample.

#include <algorithm>
#include <string>

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

constexpr char kTreeArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\predefinedtree";
constexpr char kVersionKey[] = "software\\vorna roboter gmbh\\version";
constexpr char kWatchedKey[] =
    "software\\vorna roboter gmbh\\quorin3\\manager\\upgrade\\watcheddestinationpaths";

// Adds the folder vlx:\r1\log, typed with the installation directory's long form.
void AddAFolder(EndToEnd& program) {
    // "&9 General Layout"; its first control, "Full Path", takes the focus.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("9")}));
    ASSERT_TRUE(program.Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Log")));
    ASSERT_TRUE(program.Keys({QStringLiteral("Return")}));
}

void ExpectTheNewFolder(const Dump& before, Dump& expected) {
    const std::string tree = kTreeArea;
    ASSERT_TRUE(before.count(tree + "\\vlx:\\r1")) << "the sample has no vlx:\\r1 folder";
    ASSERT_FALSE(before.count(tree + "\\vlx:\\r1\\log"));
    // Stored in its short form, in lower case, checked. Every folder is written back with its
    // flag, and the BackUp and Manager\File values as they were.
    expected[tree + "\\vlx:\\r1\\log"] = {DwordEntry("ChangeAllowed", 1)};
}

// Updates the version of one file of VLX 4.1 and adds a watched path.
void UpdateAVersionAndWatchAPath(EndToEnd& program) {
    // "&6 Upgrade Manager": the system types list has the focus, VLX 4.1 selected.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("6")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab")}));  // file "Name:"
    ASSERT_TRUE(program.Type(QStringLiteral("kestrin.OCX")));
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab")}));  // "Version:"
    ASSERT_TRUE(program.Type(QStringLiteral("1.9.3.0")));
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Tab"), QStringLiteral("space")}));  // "Add to defined"
    // Past "Remove from defined" and the file list to the monitored "Name:".
    ASSERT_TRUE(program.Keys(Repeated(QStringLiteral("Tab"), 3)));
    ASSERT_TRUE(program.Type(QStringLiteral(" Logs ")));
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab")}));  // "Path:"
    ASSERT_TRUE(program.Type(QStringLiteral("C:\\VLX\\Roboter\\VLX\\R1\\Log")));
    // "Browse for it" opens the picker; cancelling it still puts the path in its short form.
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_FALSE(program.WaitForWindow(QStringLiteral("^Please select a path$")).isEmpty())
        << "the directory picker did not appear";
    ASSERT_TRUE(program.Keys({QStringLiteral("Escape")}));
    ASSERT_TRUE(program.Running()) << "Esc in the picker closed the program";
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Tab"), QStringLiteral("space")}));  // "Add to defined"
}

void ExpectTheNewVersionAndPath(const Dump& before, Dump& expected) {
    const std::string vlx41 = std::string(kVersionKey) + "\\vlx 4.1";
    ASSERT_TRUE(before.count(vlx41)) << "the sample has no system type VLX 4.1";
    ASSERT_TRUE(std::any_of(before.at(vlx41).begin(), before.at(vlx41).end(),
                            [](const std::string& v) { return v.rfind("kestrin.ocx|", 0) == 0; }))
        << "VLX 4.1 in the sample has no kestrin.ocx";
    ASSERT_TRUE(before.count(kWatchedKey));
    // The file keeps its place among the others; only its version changed. "InstallationDir",
    // the other system types and every other area are as they were.
    SetEntry(expected[vlx41], TextEntry("kestrin.ocx", "1.9.3.0"));
    SetEntry(expected[kWatchedKey], TextEntry("logs", "vlx:\\r1\\log"));
}

}  // namespace

namespace e2e {
const PageEdit kUpgradeEdit = {"Upgrade Manager", &UpdateAVersionAndWatchAPath,
                               &ExpectTheNewVersionAndPath};
const PageEdit kGeneralEdit = {"General/Folder Layout", &AddAFolder, &ExpectTheNewFolder};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, AddAFolderOnTheGeneralPageApplyAndExit) {
    RunEdits({&kGeneralEdit});
}

TEST_F(EndToEnd, UpdateAFileVersionAndAddAWatchedPathOnTheUpgradePage) {
    RunEdits({&kUpgradeEdit});
}

}  // namespace

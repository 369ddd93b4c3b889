// The frame and the Display page end to end: keyboard only, on a copy of the sample.

#include <QFile>
#include <QThread>

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

// Adds the level Demo, as a new level is laid out: column "Label" 100 wide, sorted ascending by
// it, only the "VLX" volume. On the way: Esc and the "&Tabs" menu.
void AddALevel(EndToEnd& program) {
    // Esc must not close the main window.
    ASSERT_TRUE(program.Keys({QStringLiteral("Escape")}));
    ASSERT_TRUE(program.Running()) << "Esc closed the program";
    // Tabs menu: "&8 History Info", then back to "&1 Display", whose first list gets the focus.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("8")}));
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("1")}));
    // Supported levels: Admin, DEFAULT, Demo... Enter released in the list adds "Demo".
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
}

void ExpectTheNewLevel(const Dump& before, Dump& expected) {
    ASSERT_TRUE(before.count(kDisplayArea)) << "the sample has no Display area";
    const std::string demo = std::string(kDisplayArea) + "\\demo";
    ASSERT_FALSE(before.count(demo)) << "the sample must leave the level Demo undefined";
    // Apply rewrites the levels it loaded with the very same values, and adds the new one.
    expected[demo] = {};
    expected[demo + "\\list"] = {};
    expected[demo + "\\list\\columns"] = {};
    expected[demo + "\\list\\columns\\0"] =
        Sorted({DwordEntry("Width", 100), TextEntry("", "Label")});
    expected[demo + "\\list\\sort"] = Sorted({DwordEntry("Descending", 0), TextEntry("", "0")});
    expected[demo + "\\tree"] = {};
    expected[demo + "\\tree\\volumes"] = {DwordEntry("Archiv", 0), DwordEntry("CD", 0),
                                          DwordEntry("FD", 0),     DwordEntry("HD", 0),
                                          DwordEntry("Net", 0),    DwordEntry("VLX", 1)};
}

}  // namespace

namespace e2e {
const PageEdit kDisplayEdit = {"Display", &AddALevel, &ExpectTheNewLevel};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, AddALevelOnTheDisplayPageApplyAndExitByKeyboard) {
    RunEdits({&kDisplayEdit});
}

TEST_F(EndToEnd, HelpThenExitFromTheGeneralMenuLeavesTheFileAlone) {
    const QByteArray hash = FileHash(file_);
    const QString window = Start();
    ASSERT_FALSE(window.isEmpty()) << "main window did not appear";
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("5")}));
    ASSERT_TRUE(Running());
    // "&Help" -> "&Help" opens the shipped help document in a window of its own.
    ASSERT_TRUE(Keys({QStringLiteral("alt+h"), QStringLiteral("h")}));
    EXPECT_FALSE(WaitForWindow(QStringLiteral("^VLX Configurator Help$")).isEmpty())
        << "no help window";
    XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QThread::msleep(300);
    ASSERT_TRUE(Keys({QStringLiteral("alt+g"), QStringLiteral("x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on General -> Exit";
    EXPECT_EQ(FileHash(file_), hash);
    EXPECT_FALSE(QFile::exists(file_ + QStringLiteral(".bak"))) << "nothing may be written";
}

TEST_F(EndToEnd, MalformedFileEndsTheProgramWithAnErrorAndKeepsTheFile) {
    {
        QFile f(file_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("this is not a registry file\n[HKEY_LOCAL_MACHINE\\Software\n");
    }
    const QByteArray hash = FileHash(file_);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program_.setProcessEnvironment(env);
    program_.start(QStringLiteral(VLX_PROGRAM), {QStringLiteral("--registry"), file_});
    ASSERT_TRUE(program_.waitForStarted(10000));
    // Message boxes are titled with the program's name; answer it with Enter.
    const QString box = WaitForWindow(QStringLiteral("^VLX Configurator$"), 30000);
    ASSERT_FALSE(box.isEmpty()) << "no error box appeared";
    XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), box});
    QThread::msleep(500);
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_NE(program_.exitCode(), 0);
    EXPECT_EQ(FileHash(file_), hash);
}

}  // namespace

// The frame and the Display page end to end: keyboard only, on a copy of the sample.

#include <QFile>
#include <QThread>

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

TEST_F(EndToEnd, AddALevelOnTheDisplayPageApplyAndExitByKeyboard) {
    const Dump before = ReadStore(file_);
    ASSERT_TRUE(before.count(kDisplayArea)) << "the sample has no Display area";
    const std::string demo = std::string(kDisplayArea) + "\\demo";
    ASSERT_FALSE(before.count(demo)) << "the sample must leave the level Demo undefined";

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // Esc must not close the main window.
    ASSERT_TRUE(Keys({QStringLiteral("Escape")}));
    ASSERT_TRUE(Running()) << "Esc closed the program";
    // Tabs menu: "&8 History Info", then back to "&1 Display", whose first list gets the focus.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("8")}));
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("1")}));
    // Supported levels: Admin, DEFAULT, Demo... Enter released in the list adds "Demo".
    ASSERT_TRUE(Keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(Running()) << "Enter closed the program";
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));  // the page's "E&xit"
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    ASSERT_FALSE(after.empty());
    // The applied area holds its old levels and the new one.
    const std::string prefix = std::string(kDisplayArea) + "\\";
    EXPECT_TRUE(after.count(kDisplayArea));
    EXPECT_TRUE(after.count(demo)) << "the new level was not written";
    for (const auto& [path, values] : before) {
        if (path.rfind(prefix, 0) == 0) {
            auto it = after.find(path);
            ASSERT_NE(it, after.end()) << "level key lost: " << path;
            // Apply rewrites the levels it loaded with the very same values.
            EXPECT_EQ(it->second, values) << "values changed under " << path;
        }
    }
    // The new level, as a new level is laid out: column "Label" 100 wide, sorted ascending by
    // it, only the "VLX" volume.
    const std::vector<std::pair<std::string, std::vector<std::string>>> demoKeys = {
        {"", {}},
        {"\\list", {}},
        {"\\list\\columns", {}},
        {"\\list\\columns\\0", {"width|4|64000000", "|1|4c6162656c00"}},
        {"\\list\\sort", {"descending|4|00000000", "|1|3000"}},
        {"\\tree", {}},
        {"\\tree\\volumes",
         {"archiv|4|00000000", "cd|4|00000000", "fd|4|00000000", "hd|4|00000000", "net|4|00000000",
          "vlx|4|01000000"}},
    };
    for (const auto& [key, values] : demoKeys) {
        auto it = after.find(demo + key);
        ASSERT_NE(it, after.end()) << "missing: " << demo + key;
        EXPECT_EQ(it->second, values) << demo + key;
    }
    size_t demoKeyCount = 0;
    for (const auto& [path, values] : after)
        if (path == demo || path.rfind(demo + "\\", 0) == 0)
            ++demoKeyCount;
    EXPECT_EQ(demoKeyCount, demoKeys.size());
    // Every other area is exactly as it was.
    ExpectUnchangedOutside(before, after, {kDisplayArea});
}

TEST_F(EndToEnd, HelpThenExitFromTheGeneralMenuLeavesTheFileAlone) {
    const QByteArray hash = FileHash(file_);
    const QString window = Start();
    ASSERT_FALSE(window.isEmpty()) << "main window did not appear";
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("5")}));
    ASSERT_TRUE(Running());
    // "&Help" -> "&Help" opens the shipped help document in a window of its own.
    ASSERT_TRUE(Keys({QStringLiteral("alt+h"), QStringLiteral("h")}));
    const QString help = XdoTool({QStringLiteral("search"), QStringLiteral("--sync"),
                                  QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                  QStringLiteral("^VLX Configurator Help$")},
                                 15000)
                             .value_or(QString());
    EXPECT_FALSE(help.isEmpty()) << "no help window";
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
    const QString ids = XdoTool({QStringLiteral("search"), QStringLiteral("--sync"),
                                 QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QStringLiteral("^VLX Configurator$")},
                                30000)
                            .value_or(QString());
    ASSERT_FALSE(ids.isEmpty()) << "no error box appeared";
    XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
             ids.split(QLatin1Char('\n')).constFirst()});
    QThread::msleep(500);
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_NE(program_.exitCode(), 0);
    EXPECT_EQ(FileHash(file_), hash);
}

}  // namespace

// Starts the real program under an X server (the ctest entry wraps this binary in xvfb-run) on a
// copy of the sample configuration, drives it by keyboard only with xdotool, and checks the file.

#include "registry/registry_store.h"
#include "registry/win_registry.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char kDisplayArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\display";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Key path (lower case, relative to HKEY_LOCAL_MACHINE) -> its values, each as
// "name|type|hex data", sorted; key and value names compare without regard to case.
using Dump = std::map<std::string, std::vector<std::string>>;

void DumpKey(HKEY key, const std::string& path, Dump& out) {
    std::vector<std::string>& values = out[Lower(path)];
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        std::vector<BYTE> data(1 << 16);
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) != 0)
            break;
        std::string entry = Lower(std::string(name, nameSize)) + "|" + std::to_string(type) + "|";
        static const char* hex = "0123456789abcdef";
        for (DWORD b = 0; b < dataSize; ++b) {
            entry += hex[data[b] >> 4];
            entry += hex[data[b] & 15];
        }
        values.push_back(entry);
    }
    std::sort(values.begin(), values.end());
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != 0)
            break;
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != 0) {
            ADD_FAILURE() << "cannot open " << path << "\\" << name;
            continue;
        }
        DumpKey(child, path + "\\" + std::string(name, nameSize), out);
        RegCloseKey(child);
    }
}

// Reads the whole file through the store; fails the test when the store rejects the file.
Dump ReadStore(const QString& file) {
    Dump dump;
    const std::string error = registry::OpenFileStore(file.toStdString());
    EXPECT_EQ(error, "") << "the store rejects " << file.toStdString();
    if (!error.empty())
        return dump;
    {
        registry::RegistryBatch batch;
        HKEY software = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &software), 0);
        if (software) {
            DumpKey(software, "Software", dump);
            RegCloseKey(software);
        }
    }
    EXPECT_EQ(registry::TakeStoreError(), "");
    registry::CloseFileStore();
    return dump;
}

QByteArray FileHash(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// One xdotool call with a time limit; its trimmed output, or nothing when it failed.
std::optional<QString> XdoTool(const QStringList& args, int timeoutMs = 10000) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForStarted(5000))
        return {};
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (xvfb-run)";
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("controller.reg"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VLX_SAMPLE_FILE), file_));
        QFile::setPermissions(file_, QFile::ReadOwner | QFile::WriteOwner);
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }

    // Starts the program and waits for its main window; returns the window id.
    QString Start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // Keeps a run without --registry away from the user's own file, should one slip through.
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.filePath(QStringLiteral("data")));
        program_.setProcessEnvironment(env);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QStringLiteral(VLX_PROGRAM), {QStringLiteral("--registry"), file_});
        if (!program_.waitForStarted(10000))
            return {};
        // A start-up message box would keep the main window from appearing: the search times out.
        const QString ids = XdoTool({QStringLiteral("search"), QStringLiteral("--sync"),
                                     QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                     QStringLiteral("^VLX Configurator$")},
                                    30000)
                                .value_or(QString());
        if (ids.isEmpty())
            return {};
        const QString window = ids.split(QLatin1Char('\n')).constFirst();
        XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        QThread::msleep(500);
        return window;
    }

    bool Keys(const QStringList& keys) {
        QStringList args{QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                         QStringLiteral("--delay"), QStringLiteral("150")};
        args += keys;
        const bool ok = XdoTool(args).has_value();
        QThread::msleep(700);
        return ok;
    }

    bool Running() { return !program_.waitForFinished(300); }

    // Waits for the program to end by itself; true when it ended normally with code 0.
    bool EndsCleanly() {
        if (!program_.waitForFinished(15000))
            return false;
        return program_.exitStatus() == QProcess::NormalExit && program_.exitCode() == 0;
    }

    QTemporaryDir dir_;
    QString file_;
    QProcess program_;
};

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
    for (const auto& [path, values] : before) {
        if (path == kDisplayArea || path.rfind(prefix, 0) == 0)
            continue;
        auto it = after.find(path);
        ASSERT_NE(it, after.end()) << "key lost: " << path;
        EXPECT_EQ(it->second, values) << "values changed under " << path;
    }
    for (const auto& [path, values] : after) {
        if (path != kDisplayArea && path.rfind(prefix, 0) != 0) {
            EXPECT_TRUE(before.count(path)) << "key added: " << path;
        }
    }
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

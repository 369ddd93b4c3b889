#pragma once
// The end-to-end kit: starts the real program under an X server (the ctest entry wraps the test
// binary in xvfb-run) on a copy of the sample configuration, drives it by keyboard only with
// xdotool, and reads the file back through the store. Each page's end-to-end tests live in a
// file e2e_*_test.cpp of their own and use the EndToEnd fixture; each page also offers one small
// edit (a PageEdit, e2e_page_edits.h) that its own test and the test of all pages together run.

#include "registry/registry_store.h"
#include "registry/win_registry.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

inline constexpr char kDisplayArea[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\display";

inline std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Key path (lower case, relative to HKEY_LOCAL_MACHINE) -> its values, each as
// "name|type|hex data", sorted; key and value names compare without regard to case.
using Dump = std::map<std::string, std::vector<std::string>>;

inline std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// A dump entry of a REG_DWORD and of a REG_SZ (its terminating zero included).
inline std::string DwordEntry(const std::string& name, std::uint32_t value) {
    const char bytes[] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
                          static_cast<char>((value >> 16) & 0xff),
                          static_cast<char>((value >> 24) & 0xff)};
    return Lower(name) + "|4|" + Hex(std::string_view(bytes, 4));
}
inline std::string TextEntry(const std::string& name, const std::string& text) {
    return Lower(name) + "|1|" + Hex(text + '\0');
}

inline std::vector<std::string> Sorted(std::vector<std::string> values) {
    std::sort(values.begin(), values.end());
    return values;
}

// Puts `entry` in place of the entry of the same value name in a key's sorted list.
inline void SetEntry(std::vector<std::string>& values, const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('|') + 1);
    std::erase_if(values, [&](const std::string& v) { return v.rfind(name, 0) == 0; });
    values.push_back(entry);
    std::sort(values.begin(), values.end());
}

inline QStringList Repeated(const QString& key, int times) {
    QStringList keys;
    for (int i = 0; i < times; ++i)
        keys << key;
    return keys;
}

inline void DumpKey(HKEY key, const std::string& path, Dump& out) {
    std::vector<std::string>& values = out[Lower(path)];
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        std::vector<BYTE> data(1 << 16);
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) != 0)
            break;
        values.push_back(
            Lower(std::string(name, nameSize)) + "|" + std::to_string(type) + "|" +
            Hex(std::string_view(reinterpret_cast<const char*>(data.data()), dataSize)));
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
inline Dump ReadStore(const QString& file) {
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

inline QByteArray FileHash(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// One xdotool call with a time limit; its trimmed output, or nothing when it failed.
inline std::optional<QString> XdoTool(const QStringList& args, int timeoutMs = 10000) {
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

// `after` holds exactly the keys and values of `expected`; each difference is named.
inline void ExpectDump(const Dump& after, const Dump& expected) {
    for (const auto& [path, values] : expected) {
        const auto it = after.find(path);
        if (it == after.end()) {
            ADD_FAILURE() << "key missing: " << path;
            continue;
        }
        EXPECT_EQ(it->second, values) << "values differ under " << path;
    }
    for (const auto& [path, values] : after) {
        EXPECT_TRUE(expected.count(path)) << "key added: " << path;
    }
}

class EndToEnd;

// One small edit on one page, made by keyboard. `drive` chooses the page from the "&Tabs" menu
// and edits; "&Apply" is left to the caller. `expect` checks that the sample (`before`) is as
// the edit needs it and enters what the edit changes into `expected`, which starts as `before`
// with the edits made before this one.
struct PageEdit {
    const char* page;
    void (*drive)(EndToEnd& program);
    void (*expect)(const Dump& before, Dump& expected);
};

class EndToEnd : public ::testing::Test {
  public:
    // Starts the program (with `extraArgs` after the registry file) and waits for its main
    // window; returns the window id.
    QString Start(const QStringList& extraArgs = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // Keeps a run without --registry away from the user's own file, should one slip through.
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.filePath(QStringLiteral("data")));
        program_.setProcessEnvironment(env);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QStringLiteral(VLX_PROGRAM),
                       QStringList{QStringLiteral("--registry"), file_} + extraArgs);
        if (!program_.waitForStarted(10000))
            return {};
        // A start-up message box would keep the main window from appearing: the search times out.
        const QString window = WaitForWindow(QStringLiteral("^VLX Configurator$"), 30000);
        if (window.isEmpty())
            return {};
        XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        QThread::msleep(500);
        return window;
    }

    // The first visible window whose title matches `titlePattern`, once there is one; "" when
    // none appears within `timeoutMs`.
    QString WaitForWindow(const QString& titlePattern, int timeoutMs = 15000) {
        const QString ids =
            XdoTool({QStringLiteral("search"), QStringLiteral("--sync"),
                     QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern},
                    timeoutMs)
                .value_or(QString());
        return ids.isEmpty() ? QString() : ids.split(QLatin1Char('\n')).constFirst();
    }

    // Presses each key in turn, and before the next one waits until the program has taken it:
    // a fixed pause is too short on a loaded machine, where a key sent while a menu or a page
    // is still opening lands in another control.
    bool Keys(const QStringList& keys) {
        for (const QString& key : keys) {
            if (!XdoTool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key}))
                return false;
            WaitUntilIdle();
        }
        return true;
    }

    // Types `text` character by character into the focused control.
    bool Type(const QString& text) {
        const bool ok = XdoTool({QStringLiteral("type"), QStringLiteral("--clearmodifiers"),
                                 QStringLiteral("--delay"), QStringLiteral("60"), text})
                            .has_value();
        WaitUntilIdle();
        return ok;
    }

    // Waits until no thread of the program (the process started and everything below it) nor
    // of its prefix's wineserver is running or waiting to run, in three samples in a row; at
    // most 10 s.
    // A program starved of the processor stays "running" here, so this waits as long as the
    // machine needs.
    void WaitUntilIdle() {
        QThread::msleep(60);
        int quiet = 0;
        for (int round = 0; round < 500 && quiet < 3; ++round) {
            quiet = AnyRunnable() ? 0 : quiet + 1;
            QThread::msleep(20);
        }
    }

    bool Running() { return !program_.waitForFinished(300); }

    // Waits for the program to end by itself; true when it ended normally with code 0.
    bool EndsCleanly() {
        if (!program_.waitForFinished(15000))
            return false;
        return program_.exitStatus() == QProcess::NormalExit && program_.exitCode() == 0;
    }

    // The folder standing for the controller's drive C: (the sample's installation directory
    // C:\VLX with the robot folders R1 and R2, and C:\Archive), and the arguments that map it.
    QString DriveFolder() const { return dir_.filePath(QStringLiteral("drive")); }
    QStringList ControllerDrive() {
        for (const char* folder : {"Archive", "VLX/Roboter/VLX/R1", "VLX/Roboter/VLX/R2"}) {
            EXPECT_TRUE(QDir().mkpath(DriveFolder() + QLatin1Char('/') + QLatin1String(folder)));
        }
        return {QStringLiteral("--drive"), QStringLiteral("C:=") + DriveFolder()};
    }

    // Makes `edit` on its page and applies it; the program must outlive both.
    void ApplyEdit(const PageEdit& edit) {
        ASSERT_NO_FATAL_FAILURE(edit.drive(*this)) << "on the page " << edit.page;
        ASSERT_TRUE(Running()) << "the program ended during the edit on the page " << edit.page;
        ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
        ASSERT_TRUE(Running()) << "the program ended on Apply on the page " << edit.page;
    }

    // On a copy of the sample: starts the program, makes and applies each edit in turn, ends
    // the program with the page's "E&xit", and checks that the file holds the sample with
    // exactly these edits: each of them there, everything else unchanged.
    void RunEdits(const std::vector<const PageEdit*>& edits) {
        const Dump before = ReadStore(file_);
        ASSERT_FALSE(before.empty());
        Dump expected = before;
        for (const PageEdit* edit : edits) {
            ASSERT_NO_FATAL_FAILURE(edit->expect(before, expected)) << "on the page " << edit->page;
        }
        ASSERT_FALSE(Start(ControllerDrive()).isEmpty()) << "main window did not appear";
        for (const PageEdit* edit : edits) {
            ASSERT_NO_FATAL_FAILURE(ApplyEdit(*edit));
        }
        ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));  // the page's "E&xit"
        ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";
        ExpectDump(ReadStore(file_), expected);
    }

  protected:
    // Whether a thread of the program's processes or of its prefix's wineserver is running or
    // runnable.
    bool AnyRunnable() const {
        const qint64 top = program_.processId();
        if (top <= 0)
            return false;
        // Wine's server of a prefix works in /tmp/.wine-<uid>/server-<device>-<inode>.
        QString serverDir;
        struct stat prefix {};
        if (!winePrefix_.isEmpty() && ::stat(winePrefix_.toLocal8Bit().constData(), &prefix) == 0)
            serverDir = QStringLiteral("/tmp/.wine-%1/server-%2-%3")
                            .arg(::getuid())
                            .arg(static_cast<qulonglong>(prefix.st_dev), 0, 16)
                            .arg(static_cast<qulonglong>(prefix.st_ino), 0, 16);
        std::map<qint64, qint64> parents;
        std::vector<qint64> watched;
        const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& name : pids) {
            bool number = false;
            const qint64 pid = name.toLongLong(&number);
            if (!number)
                continue;
            const QByteArray stat = ReadProc(QStringLiteral("/proc/%1/stat").arg(pid));
            // "pid (comm) state ppid ...": the name may hold blanks and parentheses.
            const qsizetype close = stat.lastIndexOf(')');
            if (close < 0)
                continue;
            const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
            if (fields.size() > 1)
                parents[pid] = fields[1].toLongLong();
            if (!serverDir.isEmpty() && stat.mid(stat.indexOf('(') + 1).startsWith("wineserver") &&
                QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid)) == serverDir)
                watched.push_back(pid);
        }
        for (const auto& [pid, parent] : parents) {
            qint64 up = pid;
            for (int depth = 0; depth < 32 && up > 1 && up != top; ++depth)
                up = parents.count(up) ? parents.at(up) : 0;
            if (up == top)
                watched.push_back(pid);
        }
        for (const qint64 pid : watched) {
            const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
            for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QByteArray stat = ReadProc(tasks + QLatin1Char('/') + task + "/stat");
                const qsizetype close = stat.lastIndexOf(')');
                if (close >= 0 && close + 2 < stat.size() && stat[close + 2] == 'R')
                    return true;
            }
        }
        return false;
    }
    static QByteArray ReadProc(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

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

    QTemporaryDir dir_;
    QString file_;
    QProcess program_;
    QString winePrefix_;  // the Wine prefix the program runs in, if any
};

}  // namespace e2e

#pragma once
// The end-to-end kit: starts the real program under an X server (the ctest entry wraps the test
// binary in xvfb-run) on a copy of the sample configuration, drives it by keyboard only with
// xdotool, and reads the file back through the store. Each page's end-to-end tests live in a
// file e2e_*_test.cpp of their own and use the EndToEnd fixture.

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

    // Types `text` character by character into the focused control.
    bool Type(const QString& text) {
        const bool ok = XdoTool({QStringLiteral("type"), QStringLiteral("--clearmodifiers"),
                                 QStringLiteral("--delay"), QStringLiteral("60"), text})
                            .has_value();
        QThread::msleep(500);
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

// Every key outside the areas `changed` (lower-case paths relative to HKEY_LOCAL_MACHINE, each
// with everything below it) is in `after` exactly as in `before`, and no key was added there.
inline void ExpectUnchangedOutside(const Dump& before, const Dump& after,
                                   const std::vector<std::string>& changed) {
    auto inChanged = [&](const std::string& path) {
        for (const std::string& area : changed) {
            if (path == area || path.rfind(area + "\\", 0) == 0)
                return true;
        }
        return false;
    };
    for (const auto& [path, values] : before) {
        if (inChanged(path))
            continue;
        auto it = after.find(path);
        if (it == after.end()) {
            ADD_FAILURE() << "key lost: " << path;
            continue;
        }
        EXPECT_EQ(it->second, values) << "values changed under " << path;
    }
    for (const auto& [path, values] : after) {
        if (!inChanged(path)) {
            EXPECT_TRUE(before.count(path)) << "key added: " << path;
        }
    }
}

}  // namespace e2e

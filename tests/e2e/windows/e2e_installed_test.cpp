// The Windows program as a person gets it, under Wine in a fresh 64-bit prefix: the portable zip
// starts with nothing installed and loads exactly its own DLLs; the installer installs silently
// for every user; on the sample configuration (imported with Wine's regedit) one edit on each
// page by keyboard, "&Apply" each, and Wine's regedit export then holds the sample with exactly
// those edits; a missing area and a standard user's rights give the start-up messages and no
// crash; the installer and the uninstaller refuse while the program runs, and the uninstaller
// removes everything it installed. scripts/test-windows-installed.sh makes the package and runs
// these tests under Xvfb, in this order (each later one installs first when it has to).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

// The registry view the Windows program reads and writes below HKEY_LOCAL_MACHINE\Software:
// "WOW6432Node\\" for the 32-bit view in a 64-bit prefix, "" for the 64-bit one.
const QString kView = QStringLiteral(VLX_WINDOWS_VIEW).isEmpty()
                          ? QString()
                          : QStringLiteral(VLX_WINDOWS_VIEW) + QLatin1Char('\\');
const QString kSoftware = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\");
// The sample's keys below HKEY_LOCAL_MACHINE\Software, and its keys of the user.
const QStringList kMachineKeys{QStringLiteral("VORNA Roboter GmbH"),
                               QStringLiteral("VORNA Customer")};
const QString kUserKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH");
const QString kInstalled = QStringLiteral("C:\\Program Files\\VLX Configurator");
const QString kUninstallKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VlxConfigurator");

struct Outcome {
    int exitCode = -1;
    QString out;
};

QByteArray ReadAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A UTF-16 registry export as text, and back.
QString FromUtf16(const QByteArray& bytes) {
    if (bytes.size() < 2)
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}
QByteArray ToUtf16(const QString& text) {
    QByteArray bytes("\xff\xfe", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

class InstalledOnWine : public EndToEnd {
  protected:
    static void SetUpTestSuite() {
        package_ = qEnvironmentVariable("VLX_WINDOWS_PACKAGE");
        prefix_ = package_ + QStringLiteral("/e2e-wine-prefix");
        fresh_ = !package_.isEmpty() && Tool({QStringLiteral("fresh")}, 180000).exitCode == 0;
    }
    static void TearDownTestSuite() {
        if (!package_.isEmpty())
            Tool({QStringLiteral("stop")});
    }

    void SetUp() override {
        EndToEnd::SetUp();
        if (IsSkipped())
            return;
        ASSERT_FALSE(package_.isEmpty()) << "VLX_WINDOWS_PACKAGE names no package folder";
        ASSERT_TRUE(fresh_) << "no fresh Wine prefix in " << prefix_.toStdString();
        const QStringList setups =
            QDir(package_).entryList({QStringLiteral("*-setup.exe")}, QDir::Files);
        ASSERT_EQ(setups.size(), 1) << "one installer in " << package_.toStdString();
        setup_ = package_ + QLatin1Char('/') + setups.constFirst();
        zip_ = QString(setup_).replace(QStringLiteral("-setup.exe"), QStringLiteral(".zip"));
        // The controller's folders the pages' edits use (the sample's installation directory).
        for (const char* folder : {"Archive", "VLX/Roboter/VLX/R1", "VLX/Roboter/VLX/R2"})
            ASSERT_TRUE(QDir().mkpath(DriveC() + QLatin1Char('/') + QLatin1String(folder)));
    }

    static Outcome Process(const QString& script, const QStringList& args, int timeoutMs) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VLX_WINEPREFIX"), prefix_);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("bash"), QStringList{script} + args);
        Outcome run;
        if (!p.waitForStarted(10000))
            return run;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished(5000);
            run.out = QStringLiteral("timed out");
            return run;
        }
        run.out = QString::fromLocal8Bit(p.readAll());
        run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return run;
    }
    static Outcome Tool(const QStringList& args, int timeoutMs = 120000) {
        return Process(QStringLiteral(VLX_WINE_WINDOWS), args, timeoutMs);
    }
    static Outcome Regedit(const QStringList& args) { return Tool(args, 60000); }

    static QString DriveC() { return prefix_ + QStringLiteral("/drive_c"); }
    static QString UnixPath(QString windowsPath) {
        windowsPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return DriveC() + windowsPath.mid(2);
    }
    static bool Installed() {
        return QFile::exists(UnixPath(kInstalled + "\\vlxconfigurator.exe"));
    }

    void Install() {
        const Outcome run = Tool({QStringLiteral("install"), setup_});
        ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
        ASSERT_TRUE(Installed());
    }
    // Each test after the installer's can also run alone.
    void EnsureInstalled() {
        if (!Installed())
            Install();
    }

    // A .reg text with every key below HKEY_LOCAL_MACHINE\Software moved to the program's view,
    // imported: REGEDIT4 in 8 bits, or `utf16` as the version 5.00 files are.
    void Import(QString text, bool utf16 = false) {
        text.replace(QStringLiteral("[") + kSoftware, QStringLiteral("[") + kSoftware + kView,
                     Qt::CaseInsensitive);
        text.replace(QStringLiteral("[-") + kSoftware, QStringLiteral("[-") + kSoftware + kView,
                     Qt::CaseInsensitive);
        const QString file = dir_.filePath(QStringLiteral("import.reg"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(utf16 ? ToUtf16(text) : text.toLatin1());
        f.close();
        const Outcome run = Regedit({QStringLiteral("import"), file});
        ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
    }
    // The sample, alone, in the program's areas (what an earlier test left there goes first).
    void ImportSample() {
        QString clear = QStringLiteral("REGEDIT4\r\n\r\n");
        for (const QString& key : kMachineKeys)
            clear += QStringLiteral("[-") + kSoftware + key + QStringLiteral("]\r\n\r\n");
        clear += QStringLiteral("[-") + kUserKey + QStringLiteral("]\r\n\r\n");
        ASSERT_NO_FATAL_FAILURE(Import(clear));
        ASSERT_NO_FATAL_FAILURE(
            Import(QString::fromLatin1(ReadAll(QStringLiteral(VLX_SAMPLE_FILE)))));
    }

    // regedit /e of one key; "" when it is not there.
    QString Export(const QString& key) {
        const QString file = dir_.filePath(QStringLiteral("export.reg"));
        const Outcome run = Regedit({QStringLiteral("export"), file, key});
        return run.exitCode == 0 ? FromUtf16(ReadAll(file)) : QString();
    }
    // The sample's keys below HKEY_LOCAL_MACHINE\Software as Wine's regedit exports them from
    // the program's view, read through the store as the other end-to-end tests read their file.
    Dump ExportedAreas() {
        QString all = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");
        for (const QString& key : kMachineKeys) {
            QString text = Export(kSoftware + kView + key);
            EXPECT_FALSE(text.isEmpty()) << "no " << key.toStdString() << " in the registry";
            text.remove(0, text.indexOf(QLatin1Char('[')));
            text.replace(QStringLiteral("[") + kSoftware + kView, QStringLiteral("[") + kSoftware,
                         Qt::CaseInsensitive);
            all += text;
        }
        const QString file = dir_.filePath(QStringLiteral("areas.reg"));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(ToUtf16(all));
        f.close();
        return ReadStore(file);
    }

    // Starts a Windows program of the prefix on the X display; `debug` is Wine's WINEDEBUG.
    void StartOnWine(const QString& program, const QString& debug = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VLX_WINEPREFIX"), prefix_);
        if (!debug.isEmpty())
            env.insert(QStringLiteral("VLX_WINEDEBUG"), debug);
        program_.setProcessEnvironment(env);
        program_.setProcessChannelMode(QProcess::SeparateChannels);
        winePrefix_ = prefix_;
        program_.start(QStringLiteral("bash"),
                       {QStringLiteral(VLX_WINE_WINDOWS), QStringLiteral("run"), program});
        ASSERT_TRUE(program_.waitForStarted(10000));
    }

    // Answers each start-up message box with Enter until the main window shows; their number,
    // or -1 when the main window did not appear (or the program ended) first.
    int AnswerMessagesUntilTheMainWindow() {
        for (int answered = 0; answered <= 12; ++answered) {
            const QString window = WaitForWindow(QStringLiteral("^VLX Configurator$"), 60000);
            if (window.isEmpty() || !Running()) {
                // What the screen showed instead, and what the program said, for the log.
                const QString shot = package_ + QStringLiteral("/no-main-window.png");
                QProcess::execute(QStringLiteral("import"),
                                  {QStringLiteral("-window"), QStringLiteral("root"), shot});
                ADD_FAILURE() << "no main window; the screen is in " << shot.toStdString()
                              << "; the program wrote:\n"
                              << program_.readAllStandardError().toStdString();
                return -1;
            }
            // The main window is far taller than a message box.
            const QString geometry =
                XdoTool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
                    .value_or(QString());
            const QRegularExpressionMatch height =
                QRegularExpression(QStringLiteral("HEIGHT=(\\d+)")).match(geometry);
            if (height.hasMatch() && height.captured(1).toInt() >= 300) {
                XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
                QThread::msleep(500);
                return answered;
            }
            XdoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
            QThread::msleep(300);
            Keys({QStringLiteral("Return")});
            // The box closes before the next one (or the main window) shows.
            for (int i = 0; i < 50 && XdoTool({QStringLiteral("getwindowname"), window}); ++i)
                QThread::msleep(100);
        }
        return -1;
    }

    // The start-up messages the program on the file store gives (--check) for the registry now
    // in the prefix; `readOnly`: on a file it may not write, where the store refuses every open
    // for writing as the registry refuses a standard user.
    int StartupMessagesOfTheFileStore(bool readOnly) {
        QString text = Export(kSoftware + kView + kMachineKeys.constFirst());
        text.replace(QStringLiteral("[") + kSoftware + kView, QStringLiteral("[") + kSoftware,
                     Qt::CaseInsensitive);
        const QString file = dir_.filePath(QStringLiteral("check.reg"));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(ToUtf16(text));
        f.close();
        if (readOnly)
            f.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QProcess check;
        check.start(QStringLiteral(VLX_PROGRAM),
                    {QStringLiteral("--registry"), file, QStringLiteral("--check")});
        EXPECT_TRUE(check.waitForFinished(30000));
        QFile::remove(file);
        // Each message ends with a line break; a blank line parts them.
        const QString out = QString::fromLocal8Bit(check.readAllStandardOutput());
        return out.isEmpty() ? 0 : out.count(QStringLiteral("\n\n")) + 1;
    }

    // Starts the installed program on a broken registry (`breakIt` runs after the sample is
    // imported), answers the start-up messages, which must be as many as `expectedMessages`
    // tells and at least one, then ends it with "E&xit": it must not crash, and the areas stay
    // as they were.
    void StartsWithMessagesAndEndsCleanly(const std::function<void()>& breakIt,
                                          const std::function<int()>& expectedMessages) {
        ASSERT_NO_FATAL_FAILURE(ImportSample());
        ASSERT_NO_FATAL_FAILURE(breakIt());
        const int messages = expectedMessages();
        ASSERT_GE(messages, 1);
        const Dump before = ExportedAreas();
        ASSERT_NO_FATAL_FAILURE(StartOnWine(kInstalled + QStringLiteral("\\vlxconfigurator.exe")));
        EXPECT_EQ(AnswerMessagesUntilTheMainWindow(), messages);
        ASSERT_TRUE(Running()) << "the program ended during its start-up";
        ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
        ASSERT_TRUE(EndsCleanly()) << "the program did not end cleanly on Alt+X";
        ExpectDump(ExportedAreas(), before);
    }

    static inline QString package_;
    static inline QString prefix_;
    static inline bool fresh_ = false;
    QString setup_;
    QString zip_;
};

TEST_F(InstalledOnWine, ThePortableZipStartsInACleanPrefixAndLoadsExactlyItsOwnDlls) {
    ASSERT_FALSE(Installed()) << "the prefix must hold nothing installed";
    const QString folder = DriveC() + QStringLiteral("/Portable");
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(QProcess::execute(QStringLiteral("unzip"),
                                {QStringLiteral("-q"), zip_, QStringLiteral("-d"), folder}),
              0);
    const QStringList top = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(top.size(), 1) << "the zip holds one folder";
    const QString unpacked = folder + QLatin1Char('/') + top.constFirst();
    ASSERT_NO_FATAL_FAILURE(ImportSample());

    ASSERT_NO_FATAL_FAILURE(StartOnWine(QStringLiteral("C:\\Portable\\") + top.constFirst() +
                                            QStringLiteral("\\vlxconfigurator.exe"),
                                        QStringLiteral("+loaddll")));
    EXPECT_EQ(AnswerMessagesUntilTheMainWindow(), 0) << "the sample gives no start-up message";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end cleanly on Alt+X";

    // Wine names each DLL it loads and whether it is its own (builtin) or a file (native).
    QSet<QString> loaded;
    QStringList foreign;
    const QRegularExpression line(QStringLiteral("Loaded L\"([^\"]+)\" at \\S+: (\\w+)"));
    for (const QString& text :
         QString::fromLocal8Bit(program_.readAllStandardError()).split('\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch() || m.captured(2) != QStringLiteral("native"))
            continue;
        QString path = m.captured(1).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        const QString prefix = QStringLiteral("C:\\Portable\\") + top.constFirst() + '\\';
        if (path.startsWith(prefix, Qt::CaseInsensitive))
            loaded << path.mid(prefix.size()).replace('\\', '/').toLower();
        else
            foreign << path;
    }
    EXPECT_TRUE(foreign.isEmpty())
        << "DLLs from outside the package: " << foreign.join(' ').toStdString();
    QSet<QString> shipped;
    QDirIterator it(unpacked, {QStringLiteral("*.dll"), QStringLiteral("*.exe")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        shipped << QDir(unpacked).relativeFilePath(it.next()).toLower();
    QStringList l(loaded.begin(), loaded.end());
    QStringList s(shipped.begin(), shipped.end());
    l.sort();
    s.sort();
    EXPECT_EQ(l, s) << "the package must hold exactly the DLLs the program loads";
    QDir(folder).removeRecursively();
}

TEST_F(InstalledOnWine, TheSilentInstallerInstallsForEveryUserWithAnUninstallEntry) {
    ASSERT_NO_FATAL_FAILURE(Install());
    EXPECT_TRUE(QFile::exists(UnixPath(kInstalled + "\\uninstall.exe")));
    EXPECT_TRUE(QFile::exists(
        DriveC() + "/ProgramData/Microsoft/Windows/Start Menu/Programs/VLX Configurator.lnk"));
    const QString entry = Export(kUninstallKey);
    for (const QString& value :
         {QStringLiteral("\"DisplayName\"=\"VLX Configurator\""),
          QStringLiteral("\"DisplayVersion\"=\"" VLX_VERSION "\""),
          QStringLiteral("\"Publisher\"=\"VORNA Roboter GmbH\""),
          QStringLiteral("\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\VLX "
                         "Configurator\\\\uninstall.exe\\\"\""),
          QStringLiteral("\"InstallLocation\"=\"C:\\\\Program Files\\\\VLX Configurator\"")}) {
        EXPECT_TRUE(entry.contains(value)) << value.toStdString() << " not in\n"
                                           << entry.toStdString();
    }
}

// Wine enumerates a key's values sorted by name, Windows in the order they were written (the
// sample's). The History page lists its criteria in that order, so under Wine its first row,
// which the History edit toggles, is CompareChecksum (off in the sample), not CompareDate.
void ExpectTheHistoryEditOnWine(const Dump& before, Dump& expected) {
    ASSERT_NO_FATAL_FAILURE(kHistoryEdit.expect(before, expected));
    const std::string archive = "software\\vorna roboter gmbh\\quorin3\\manager\\archive";
    const std::vector<std::string>& sample = before.at(archive);
    ASSERT_TRUE(std::count(sample.begin(), sample.end(), DwordEntry("CompareChecksum", 0)));
    SetEntry(expected[archive], DwordEntry("CompareDate", 1));
    SetEntry(expected[archive], DwordEntry("CompareChecksum", 1));
}

TEST_F(InstalledOnWine, AnEditOnEveryPageByKeyboardGivesExactlyThoseEditsInTheRegistry) {
    ASSERT_NO_FATAL_FAILURE(EnsureInstalled());
    ASSERT_NO_FATAL_FAILURE(ImportSample());
    const PageEdit history = {kHistoryEdit.page, kHistoryEdit.drive, &ExpectTheHistoryEditOnWine};
    const std::vector<const PageEdit*> edits = {&kDisplayEdit,     &kFiltersEdit,   &kMethodsEdit,
                                                &kUserMethodsEdit, &kTemplatesEdit, &kUpgradeEdit,
                                                &kArchiveEdit,     &history,        &kGeneralEdit};
    const Dump before = ExportedAreas();
    ASSERT_FALSE(before.empty());
    const QString user = Export(kUserKey);
    Dump expected = before;
    for (const PageEdit* edit : edits)
        ASSERT_NO_FATAL_FAILURE(edit->expect(before, expected)) << "on the page " << edit->page;

    ASSERT_NO_FATAL_FAILURE(StartOnWine(kInstalled + QStringLiteral("\\vlxconfigurator.exe")));
    ASSERT_EQ(AnswerMessagesUntilTheMainWindow(), 0) << "the main window did not appear";
    const QString screenshot = qEnvironmentVariable("VLX_WINDOWS_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QThread::msleep(3000);
        const QString window = WaitForWindow(QStringLiteral("^VLX Configurator$"));
        EXPECT_EQ(QProcess::execute(QStringLiteral("import"),
                                    {QStringLiteral("-window"), window, screenshot}),
                  0);
    }
    for (const PageEdit* edit : edits)
        ASSERT_NO_FATAL_FAILURE(ApplyEdit(*edit));
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));  // the page's "E&xit"
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";
    ExpectDump(ExportedAreas(), expected);
    EXPECT_EQ(Export(kUserKey), user) << "the user's keys must stay as they were";

    // Each "&Apply" kept a backup of the area it replaced (in the user's local application data);
    // Wine's regedit importing them, newest first, gives back the sample as it was.
    QStringList backups;
    QDirIterator files(DriveC() + QStringLiteral("/users"), {QStringLiteral("*.reg")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        if (file.contains(QStringLiteral("/AppData/Local/VlxConfigurator/backups/")))
            backups << file;
    }
    ASSERT_EQ(backups.size(), static_cast<qsizetype>(edits.size())) << "one backup per page";
    std::sort(backups.begin(), backups.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName() > QFileInfo(b).fileName();
    });
    for (const QString& backup : backups)
        ASSERT_NO_FATAL_FAILURE(Import(FromUtf16(ReadAll(backup)), true)) << backup.toStdString();
    ExpectDump(ExportedAreas(), before);
}

TEST_F(InstalledOnWine, AMissingAreaGivesItsStartupMessageAndNoCrash) {
    ASSERT_NO_FATAL_FAILURE(EnsureInstalled());
    StartsWithMessagesAndEndsCleanly(
        [this] {
            Import(QStringLiteral("REGEDIT4\r\n\r\n[-") + kSoftware +
                   QStringLiteral(
                       "VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display]\r\n"));
        },
        // As many as the program on the file store gives for the same registry.
        [this] { return StartupMessagesOfTheFileStore(false); });
}

// Wine runs every program as an administrator. A standard user on Windows may read
// HKEY_LOCAL_MACHINE\Software but not write it; a DACL granting everyone read access only, on
// Software itself and on every key of the program's areas, makes Wine refuse the program's
// writes there the same way (ERROR_ACCESS_DENIED). This shows how the program meets refused
// access; it does not show the elevation prompt, which Wine does not have.
TEST_F(InstalledOnWine, AStandardUsersRightsGiveTheStartupMessagesAndNoCrash) {
    ASSERT_NO_FATAL_FAILURE(EnsureInstalled());
    StartsWithMessagesAndEndsCleanly(
        [this] {
            // Software itself in both views: a standard user may write neither, and Wine checks
            // an open of "Software" in the 32-bit view against the 64-bit key, where Windows
            // checks it against WOW6432Node.
            QStringList areas{QStringLiteral("deny-write")};
            if (!kView.isEmpty())
                areas << QStringLiteral("/32");
            areas << QStringLiteral("/top") << QStringLiteral("Software")
                  << QStringLiteral("Software\\VORNA Roboter GmbH");
            for (const QStringList& args :
                 {areas, QStringList{QStringLiteral("deny-write"), QStringLiteral("/top"),
                                     QStringLiteral("Software")}}) {
                const Outcome run = Tool(args);
                ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
            }
        },
        // That it runs without administrator rights, then as many as the program on the file
        // store gives for a file it may not write.
        [this] { return 1 + StartupMessagesOfTheFileStore(true); });
}

TEST_F(InstalledOnWine, SetupRefusesWhileTheProgramRunsAndTheUninstallerRemovesEverything) {
    ASSERT_NO_FATAL_FAILURE(EnsureInstalled());
    const QString uninstaller = kInstalled + QStringLiteral("\\uninstall.exe");
    ASSERT_NO_FATAL_FAILURE(StartOnWine(kInstalled + QStringLiteral("\\vlxconfigurator.exe")));
    ASSERT_GE(AnswerMessagesUntilTheMainWindow(), 0) << "the main window did not appear";
    const QByteArray exe = ReadAll(UnixPath(kInstalled + "\\vlxconfigurator.exe"));
    // Both stop with exit code 3 and change nothing.
    EXPECT_EQ(Tool({QStringLiteral("install"), setup_}).exitCode, 3);
    EXPECT_EQ(Tool({QStringLiteral("uninstall"), uninstaller}).exitCode, 0);
    EXPECT_TRUE(Installed());
    EXPECT_EQ(ReadAll(UnixPath(kInstalled + "\\vlxconfigurator.exe")), exe);
    ASSERT_TRUE(Running());
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly());

    const Outcome run = Tool({QStringLiteral("uninstall"), uninstaller});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(UnixPath(kInstalled))) << "the program folder is left";
    EXPECT_FALSE(QFile::exists(
        DriveC() + "/ProgramData/Microsoft/Windows/Start Menu/Programs/VLX Configurator.lnk"));
    EXPECT_TRUE(Export(kUninstallKey).isEmpty()) << "the uninstall entry is left";
    // The configuration is the controller's, not the program's: it stays.
    EXPECT_FALSE(Export(kSoftware + kView + kMachineKeys.constFirst()).isEmpty());
}

}  // namespace

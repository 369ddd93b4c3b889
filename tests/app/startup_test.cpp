// Start-up of the non-Windows program: the registry file it opens (the default one created from
// the bundled sample), an unusable file ending the program untouched, drive mappings; and store
// errors met by a command, shown after it without overwriting the file.

#include <gtest/gtest.h>

#include <csignal>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "app/registry_file.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "framework/framework.h"
#include "platform/file_system.h"
#include "registry/registry_store.h"
#include "tests/app/test_pages.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace {

using frametest::CTestPage;

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

PageTable OneTestPage() {
    PageTable table = DefaultPageTable();
    table.resize(1);
    table[0].templateNumber = 130;
    table[0].create = [] { return std::make_unique<CTestPage>(0, true, nullptr); };
    return table;
}

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uikit::EnsureApplication();
        ASSERT_TRUE(dir_.isValid());
        savedXdg_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toLocal8Bit());
    }
    void TearDown() override {
        if (savedXdg_.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", savedXdg_);
        platform::ResetDriveMappings();
    }

    QTemporaryDir dir_;
    QByteArray savedXdg_;
    uikit::UiRecorder ui_;
};

TEST_F(StartupTest, FirstStartCreatesTheDefaultFileFromTheSample) {
    const QString file = app::DefaultRegistryPath();
    ASSERT_TRUE(file.startsWith(dir_.path()));
    ASSERT_FALSE(QFile::exists(file));

    bool ran = false;
    ui_.OnModal([&](fw::Dialog& main) {
        ran = true;
        EXPECT_EQ(main.TemplateNumber(), 102);
        main.RequestClose();
    });
    CVlxConfiguratorApp program(OneTestPage());
    EXPECT_EQ(program.Run({}), 0);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(ui_.Messages().empty());
    EXPECT_EQ(ReadBytes(file), ReadBytes(QStringLiteral(VLX_SAMPLE_FILE)));
    EXPECT_EQ(ReadBytes(file), ReadBytes(QString::fromLatin1(app::kBundledSample)));

    // The next start uses the file as it is.
    WriteBytes(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Edited]\r\n");
    const QByteArray edited = ReadBytes(file);
    ui_.OnModal([](fw::Dialog& main) { main.RequestClose(); });
    EXPECT_EQ(CVlxConfiguratorApp(OneTestPage()).Run({}), 0);
    EXPECT_EQ(ReadBytes(file), edited);
}

TEST_F(StartupTest, TerminationSignalsCloseTheWindowWithoutSaving) {
    for (const int signal : {SIGTERM, SIGINT}) {
        const QString file = dir_.filePath("registry.reg");
        WriteBytes(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
        ui_.OnModal([signal](fw::Dialog& main) {
            std::raise(signal);
            QElapsedTimer waited;
            waited.start();
            while (!main.HasEnded() && waited.elapsed() < 3000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        });
        StartOptions options;
        options.registryFile = file;
        EXPECT_EQ(CVlxConfiguratorApp(OneTestPage()).Run(options), 0) << signal;
        EXPECT_FALSE(QFile::exists(file + ".bak"));
    }
    EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(StartupTest, MalformedFileEndsWithAnErrorAndStaysUntouched) {
    const QString file = dir_.filePath("broken.reg");
    const QByteArray broken = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\r\n\"x\"=dword:zz\r\n";
    WriteBytes(file, broken);
    ui_.Answer(fw::MsgAnswer::Ok);

    StartOptions options;
    options.registryFile = file;
    EXPECT_NE(CVlxConfiguratorApp(OneTestPage()).Run(options), 0);
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_EQ(ui_.Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_NE(ui_.Messages()[0].text.find(file.toStdString()), std::string::npos)
        << ui_.Messages()[0].text;
    EXPECT_TRUE(ui_.ModalRuns().empty()) << "the main window must not start";
    EXPECT_EQ(ReadBytes(file), broken);
    EXPECT_FALSE(QFile::exists(file + ".bak"));
}

TEST_F(StartupTest, MissingExplicitFileIsAnErrorAndIsNotCreated) {
    const QString file = dir_.filePath("missing.reg");
    ui_.Answer(fw::MsgAnswer::Ok);
    StartOptions options;
    options.registryFile = file;
    EXPECT_NE(CVlxConfiguratorApp(OneTestPage()).Run(options), 0);
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_NE(ui_.Messages()[0].text.find(file.toStdString()), std::string::npos);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(ui_.ModalRuns().empty());
}

TEST_F(StartupTest, DriveMappingsReachThePlatform) {
    const QString file = dir_.filePath("c.reg");
    WriteBytes(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
    StartOptions options;
    options.registryFile = file;
    options.drives['D'] = dir_.path();
    std::map<char, std::string> seen;
    ui_.OnModal([&](fw::Dialog& main) {
        seen = platform::DriveMappings();
        main.RequestClose();
    });
    EXPECT_EQ(CVlxConfiguratorApp(OneTestPage()).Run(options), 0);
    ASSERT_TRUE(seen.count('D'));
    EXPECT_EQ(QDir(QString::fromStdString(seen['D'])), QDir(dir_.path()));
}

TEST_F(StartupTest, ARelativeFileStaysTheSameFileWhenTheCurrentDirectoryChanges) {
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    WriteBytes(dir_.filePath("rel.reg"), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
    QTemporaryDir elsewhere;
    StartOptions options;
    options.registryFile = QStringLiteral("rel.reg");
    ui_.OnModal([&](fw::Dialog& d) {
        auto& main = static_cast<CVlxConfiguratorDlg&>(d);
        // As the directory picker does.
        QDir::setCurrent(elsewhere.path());
        uikit::Click(*main.Page(0), CBasicDialogTab::kApplyId);
        main.RequestClose();
    });
    EXPECT_EQ(CVlxConfiguratorApp(OneTestPage()).Run(options), 0);
    QDir::setCurrent(saved);
    EXPECT_TRUE(ui_.Messages().empty());
    EXPECT_TRUE(ReadBytes(dir_.filePath("rel.reg")).contains("Applied"));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("rel.reg")));
}

// --- Store errors met by a command ---------------------------------------------------------

const char kSeed[] = R"(
[HKEY_LOCAL_MACHINE\Software\Frame Test]
"Kept"="yes"
)";

TEST(StoreErrors, AFailedWriteIsShownNamingTheFileAndLeavesItAlone) {
    testsupport::PageHarness h(kSeed);
    h.CreatePage<CTestPage>(130, 0, true, nullptr);
    if (!h.FailStoreWrites())
        GTEST_SKIP() << "the system registry cannot be made to fail";
    const QString file = QString::fromStdString(h.Registry().FilePath());
    const QByteArray before = ReadBytes(file);

    h.Ui().Answer(fw::MsgAnswer::Ok);
    h.Apply();
    ASSERT_EQ(h.Ui().Messages().size(), 1u);
    const uikit::ShownMessage& shown = h.Ui().Messages()[0];
    EXPECT_EQ(shown.icon, fw::MsgIcon::Error);
    EXPECT_EQ(shown.buttons, fw::MsgButtons::Ok);
    EXPECT_NE(shown.text.find(file.toStdString()), std::string::npos) << shown.text;
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(h.CloseRequests(), 0);
}

TEST(StoreErrors, AFileBrokenBehindTheProgramsBackIsReportedAndNotOverwritten) {
    testsupport::PageHarness h(kSeed);
    CTestPage& page = h.CreatePage<CTestPage>(130, 0, true, nullptr);
    const QString file = QString::fromStdString(h.Registry().FilePath());
    if (file.isEmpty())
        GTEST_SKIP() << "no registry file here";
    const QByteArray broken = "this is not a registry file\r\n[HKEY_LOCAL_MACHINE\\Soft";
    WriteBytes(file, broken);

    h.Ui().SetDefaultAnswer(fw::MsgAnswer::Ok);
    h.Restore();
    EXPECT_EQ(page.loads, 2);
    h.Apply();
    ASSERT_GE(h.Ui().Messages().size(), 2u);
    for (const uikit::ShownMessage& shown : h.Ui().Messages()) {
        EXPECT_EQ(shown.icon, fw::MsgIcon::Error);
        EXPECT_NE(shown.text.find(file.toStdString()), std::string::npos) << shown.text;
    }
    EXPECT_EQ(ReadBytes(file), broken);
}

TEST(StoreErrors, ACommandWithoutErrorsShowsNothing) {
    testsupport::PageHarness h(kSeed);
    h.CreatePage<CTestPage>(130, 0, true, nullptr);
    h.Apply();
    EXPECT_TRUE(h.Ui().Messages().empty());
    EXPECT_EQ(h.Export("Software\\Frame Test\\Page0"),
              "[HKEY_LOCAL_MACHINE\\Software\\Frame Test\\Page0]\n\"Applied\"=\"yes\"\n");
    EXPECT_TRUE(h.KeyExists("Software\\Frame Test"));
}

}  // namespace

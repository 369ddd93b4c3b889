// Command line and registry file location of the non-Windows build.

#include "app/command_line.h"
#include "app/registry_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using app::CommandLine;

CommandLine Parse(QStringList args) {
    args.prepend(QStringLiteral("vlxconfigurator"));
    return app::ParseCommandLine(args);
}

TEST(CommandLineTest, NoArgumentsRunsOnTheDefaultFile) {
    const CommandLine cl = Parse({});
    EXPECT_EQ(cl.action, CommandLine::Action::Run);
    EXPECT_TRUE(cl.registryFile.isEmpty());
    EXPECT_TRUE(cl.drives.empty());
}

TEST(CommandLineTest, RegistryAndDrives) {
    QTemporaryDir c, d;
    const CommandLine cl =
        Parse({"--registry", "/tmp/x.reg", "--drive", "c:=" + c.path(), "--drive=D:=" + d.path()});
    ASSERT_EQ(cl.action, CommandLine::Action::Run) << cl.text.toStdString();
    EXPECT_EQ(cl.registryFile, QStringLiteral("/tmp/x.reg"));
    ASSERT_EQ(cl.drives.size(), 2u);
    EXPECT_EQ(cl.drives.at('C'), QFileInfo(c.path()).absoluteFilePath());
    EXPECT_EQ(cl.drives.at('D'), QFileInfo(d.path()).absoluteFilePath());
}

TEST(CommandLineTest, AFileOnItsOwnIsTheRegistryFile) {
    const CommandLine cl = Parse({"/tmp/opened.reg"});
    EXPECT_EQ(cl.action, CommandLine::Action::Run) << cl.text.toStdString();
    EXPECT_EQ(cl.registryFile, QStringLiteral("/tmp/opened.reg"));
    EXPECT_EQ(Parse({"x.reg", "--check"}).action, CommandLine::Action::Check);
}

TEST(CommandLineTest, CheckAndExportForImport) {
    const CommandLine check = Parse({"--registry", "/tmp/x.reg", "--check"});
    EXPECT_EQ(check.action, CommandLine::Action::Check) << check.text.toStdString();
    EXPECT_EQ(check.registryFile, QStringLiteral("/tmp/x.reg"));
    const CommandLine out = Parse({"--export-for-import", "/tmp/out.reg", "--registry=/tmp/x.reg"});
    EXPECT_EQ(out.action, CommandLine::Action::ExportForImport) << out.text.toStdString();
    EXPECT_EQ(out.exportFile, QStringLiteral("/tmp/out.reg"));
    EXPECT_EQ(out.registryFile, QStringLiteral("/tmp/x.reg"));
}

TEST(CommandLineTest, HelpAndVersion) {
    const CommandLine help = Parse({"--help"});
    EXPECT_EQ(help.action, CommandLine::Action::ShowHelp);
    EXPECT_TRUE(help.text.contains("--registry"));
    EXPECT_TRUE(help.text.contains("--drive"));
    EXPECT_TRUE(help.text.contains("--check"));
    EXPECT_TRUE(help.text.contains("--export-for-import <OUT>"));
    EXPECT_TRUE(help.text.contains("Usage: vlxconfigurator")) << help.text.toStdString();
    const CommandLine version = Parse({"--version"});
    EXPECT_EQ(version.action, CommandLine::Action::ShowVersion);
    EXPECT_EQ(version.text.toStdString(), "vlxconfigurator " VLX_VERSION "\n");
}

TEST(CommandLineTest, BadArgumentsAreErrors) {
    QTemporaryDir dir;
    const QString file = dir.filePath("x.reg");
    QFile(file).open(QIODevice::WriteOnly);
    const QStringList bad[] = {
        {"--check", "--export-for-import", "out.reg"},
        {"--check", "--drive", "C:=" + dir.path()},
        {"--export-for-import", "out.reg", "--drive", "C:=" + dir.path()},
        {"--export-for-import", "a.reg", "--export-for-import", "b.reg"},
        {"--export-for-import", ""},
        {"--export-for-import"},
        {"--export-for-import", dir.path()},
        {"--registry", file, "--export-for-import", file},
        {"--registry", file, "--export-for-import", dir.path() + "/./x.reg"},
        {"--unknown"},
        {"a.reg", "b.reg"},
        {"--registry", "a.reg", "b.reg"},
        {"--registry"},
        {"--registry", ""},
        {"--registry", "a.reg", "--registry", "b.reg"},
        {"--drive", "C=" + dir.path()},
        {"--drive", "CC:=" + dir.path()},
        {"--drive", "1:=" + dir.path()},
        {"--drive", "C:"},
        {"--drive", "C:="},
        {"--drive", "C:=" + dir.path() + "/missing"},
        {"--drive", "C:=" + dir.path(), "--drive", "c:=" + dir.path()},
    };
    for (const QStringList& args : bad) {
        const CommandLine cl = Parse(args);
        EXPECT_EQ(cl.action, CommandLine::Action::Error) << args.join(' ').toStdString();
        EXPECT_FALSE(cl.text.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST(RegistryFileTest, DefaultPathFollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(app::DefaultRegistryPath(),
              QStringLiteral("/data/home/vlxconfigurator/registry.reg"));
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(app::DefaultRegistryPath(),
              QDir::homePath() + QStringLiteral("/.local/share/vlxconfigurator/registry.reg"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(app::DefaultRegistryPath(),
              QDir::homePath() + QStringLiteral("/.local/share/vlxconfigurator/registry.reg"));
    if (!saved.isNull())
        qputenv("XDG_DATA_HOME", saved);
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RegistryFileTest, FirstStartCopiesTheSampleAndLaterStartsKeepTheFile) {
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.reg");
    WriteFile(sample,
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
    const QString target = dir.filePath("a/b/registry.reg");

    EXPECT_EQ(app::EnsureRegistryFile(target, sample), QString());
    EXPECT_EQ(ReadFile(target), ReadFile(sample));

    WriteFile(target, "edited");
    EXPECT_EQ(app::EnsureRegistryFile(target, sample), QString());
    EXPECT_EQ(ReadFile(target), QByteArray("edited"));
}

TEST(RegistryFileTest, FailuresNameTheFileAndCreateNothing) {
    QTemporaryDir dir;
    const QString target = dir.filePath("new/registry.reg");
    const QString missingSample = dir.filePath("no-sample.reg");
    const QString error = app::EnsureRegistryFile(target, missingSample);
    EXPECT_TRUE(error.contains(target)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new")));

    const QString folder = dir.filePath("folder.reg");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString folderError = app::EnsureRegistryFile(folder, missingSample);
    EXPECT_TRUE(folderError.contains(folder)) << folderError.toStdString();
}

}  // namespace

// Program entry: on Windows the system registry; elsewhere a registry file chosen on the command
// line (see --help).

#include <QApplication>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>

#include "app/command_line.h"
#include "app/headless_commands.h"
#include "app/version.h"
#include "app/vlx_configurator_app.h"
#include "registry/registry_store.h"

namespace {

void DropNotices(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int Finish(const app::HeadlessResult& result) {
    std::fputs(result.out.c_str(), stdout);
    std::fputs(result.errors.c_str(), stderr);
    return result.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    StartOptions options;
    // The command line chooses the registry file and the drive folders, so only a program on the
    // file store has one. It is parsed before the window system is touched, so --help and
    // --version work without a display.
    if (registry::kRegistryIsFile) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const app::CommandLine commandLine = app::ParseCommandLine(arguments);
        switch (commandLine.action) {
            case app::CommandLine::Action::ShowHelp:
            case app::CommandLine::Action::ShowVersion:
                std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
                return 0;
            case app::CommandLine::Action::Error:
                std::fprintf(stderr, "vlxconfigurator: %s\nTry 'vlxconfigurator --help'.\n",
                             commandLine.text.toLocal8Bit().constData());
                return 2;
            case app::CommandLine::Action::ExportForImport:
                return Finish(
                    app::RunExportForImport(commandLine.registryFile, commandLine.exportFile));
            case app::CommandLine::Action::Check: {
                // The pages are created and loaded, but no window is shown: no display needed.
                qputenv("QT_QPA_PLATFORM", "offscreen");
                // Standard error is for the store's message; the toolkit's notices about its
                // environment would only blur it for scripts.
                qInstallMessageHandler(DropNotices);
                QApplication application(argc, argv);
                return Finish(app::RunCheck(commandLine.registryFile));
            }
            case app::CommandLine::Action::Run:
                break;
        }
        options.registryFile = commandLine.registryFile;
        options.drives = commandLine.drives;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vlxconfigurator"));
    QApplication::setApplicationVersion(QString::fromLatin1(app::kVersion));
    CVlxConfiguratorApp program;
    return program.Run(options);
}

#include "app/command_line.h"

#include "app/registry_file.h"
#include "app/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace app {

namespace {

// "X:=DIR" -> letter and folder; the folder must exist, so a typo is caught at start and not
// when the directory picker is first opened.
bool ParseDrive(const QString& mapping, CommandLine& result) {
    const qsizetype eq = mapping.indexOf(QLatin1Char('='));
    const QString drive = eq < 0 ? mapping : mapping.left(eq);
    if (eq < 0 || drive.size() != 2 || drive[1] != QLatin1Char(':') ||
        !(drive[0].isLetter() && drive[0].unicode() < 128)) {
        result.text =
            QStringLiteral("Invalid --drive value \"%1\": expected X:=FOLDER.").arg(mapping);
        return false;
    }
    const QString folder = mapping.mid(eq + 1);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        result.text = QStringLiteral("Invalid --drive value \"%1\": \"%2\" is not a folder.")
                          .arg(mapping, folder);
        return false;
    }
    const char letter = static_cast<char>(drive[0].toUpper().unicode());
    if (result.drives.count(letter) != 0) {
        result.text = QStringLiteral("Drive %1: is given more than once.").arg(QLatin1Char(letter));
        return false;
    }
    result.drives[letter] = QFileInfo(folder).absoluteFilePath();
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "VLX Configurator: edits the controller settings kept in a registry file (.reg format)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption registryOption(
        QStringLiteral("registry"),
        QStringLiteral("The registry file to edit (default: %1).").arg(DefaultRegistryPathHint()),
        QStringLiteral("FILE"));
    const QCommandLineOption driveOption(
        QStringLiteral("drive"),
        QStringLiteral(
            "Lets drive letter X: stand for the folder DIR (may be given several times)."),
        QStringLiteral("X:=DIR"));
    parser.addOption(registryOption);
    parser.addOption(driveOption);

    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Error;
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = CommandLine::Action::ShowHelp;
        // The parser names the program after a QCoreApplication, which does not exist yet.
        result.text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                QStringLiteral("vlxconfigurator"));
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::ShowVersion;
        result.text = QStringLiteral("vlxconfigurator %1\n").arg(QLatin1String(kVersion));
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLine::Action::Error;
        result.text = QStringLiteral("Unexpected argument \"%1\".")
                          .arg(parser.positionalArguments().constFirst());
        return result;
    }
    const QStringList registryValues = parser.values(registryOption);
    if (registryValues.size() > 1) {
        result.action = CommandLine::Action::Error;
        result.text = QStringLiteral("--registry is given more than once.");
        return result;
    }
    if (!registryValues.isEmpty()) {
        if (registryValues.constFirst().isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.text = QStringLiteral("--registry needs a file name.");
            return result;
        }
        result.registryFile = registryValues.constFirst();
    }
    for (const QString& mapping : parser.values(driveOption)) {
        if (!ParseDrive(mapping, result)) {
            result.action = CommandLine::Action::Error;
            return result;
        }
    }
    return result;
}

}  // namespace app

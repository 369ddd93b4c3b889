#include "app/command_line.h"

#include "app/registry_file.h"
#include "app/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace app {

namespace {

// Whether two names lead to the same file (also through links); false when either is missing.
bool SameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

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

// --check and --export-for-import: one of them at most, each once, and without the options
// that only the window uses.
bool ParseOneShot(const QCommandLineParser& parser, const QCommandLineOption& check,
                  const QCommandLineOption& exportForImport, CommandLine& result) {
    const QStringList exportValues = parser.values(exportForImport);
    const bool checking = parser.isSet(check);
    if (!checking && exportValues.isEmpty())
        return true;
    if (checking && !exportValues.isEmpty()) {
        result.text = QStringLiteral(
            "--check and --export-for-import cannot be combined; run them one "
            "after the other.");
        return false;
    }
    const QString option =
        checking ? QStringLiteral("--check") : QStringLiteral("--export-for-import");
    if (!result.drives.empty()) {
        result.text = QStringLiteral(
                          "--drive is for the window only; it cannot be combined "
                          "with %1.")
                          .arg(option);
        return false;
    }
    if (checking) {
        result.action = CommandLine::Action::Check;
        return true;
    }
    if (exportValues.size() > 1) {
        result.text = QStringLiteral("--export-for-import is given more than once.");
        return false;
    }
    const QString out = exportValues.constFirst();
    if (out.isEmpty()) {
        result.text = QStringLiteral("--export-for-import needs a file name.");
        return false;
    }
    if (QFileInfo(out).isDir()) {
        result.text = QStringLiteral("--export-for-import: \"%1\" is a folder.").arg(out);
        return false;
    }
    // Writing the import file over the registry file would lose the configuration.
    const QString registry =
        result.registryFile.isEmpty() ? DefaultRegistryPath() : result.registryFile;
    if (SameFile(out, registry)) {
        result.text = QStringLiteral(
                          "--export-for-import: \"%1\" is the registry file itself; "
                          "choose another file.")
                          .arg(out);
        return false;
    }
    result.action = CommandLine::Action::ExportForImport;
    result.exportFile = out;
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
    const QCommandLineOption checkOption(
        QStringLiteral("check"),
        QStringLiteral("Loads every page's area as the start-up does, without a window, prints the "
                       "start-up message of each page whose area is invalid, and ends: exit code "
                       "0 when every area is valid, 1 when one is not, 2 when the file cannot be "
                       "read. Changes nothing."));
    const QCommandLineOption exportOption(
        QStringLiteral("export-for-import"),
        QStringLiteral("Writes OUT, in the registry file's format, for the controller's registry "
                       "editor: each area of the program is deleted and written anew as it is in "
                       "the registry file, so what was removed here is removed there too. Import "
                       "it into the registry the file was exported from. No window."),
        QStringLiteral("OUT"));
    parser.addOption(registryOption);
    parser.addOption(driveOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The registry file to edit, as with --registry."),
                                 QStringLiteral("[FILE]"));
    parser.addOption(checkOption);
    parser.addOption(exportOption);

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
    // A file manager opening a .reg file passes it on its own.
    QStringList registryValues = parser.values(registryOption);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1 || (!positional.isEmpty() && !registryValues.isEmpty())) {
        result.action = CommandLine::Action::Error;
        result.text = QStringLiteral("Unexpected argument \"%1\": give one registry file.")
                          .arg(positional.constLast());
        return result;
    }
    registryValues += positional;
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
    if (!ParseOneShot(parser, checkOption, exportOption, result))
        result.action = CommandLine::Action::Error;
    return result;
}

}  // namespace app

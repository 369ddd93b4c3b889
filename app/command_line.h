#pragma once
// The command line of the non-Windows build: which registry file to edit and which folders stand
// in for the controller's drive letters.

#include <QString>
#include <QStringList>

#include <map>

namespace app {

struct CommandLine {
    // Check and ExportForImport run without a window on the registry file and end.
    enum class Action { Run, Check, ExportForImport, ShowHelp, ShowVersion, Error };
    Action action = Action::Run;
    // Empty: use DefaultRegistryPath().
    QString registryFile;
    // ExportForImport: the file to write.
    QString exportFile;
    // Upper-case drive letter -> folder.
    std::map<char, QString> drives;
    // For ShowHelp/ShowVersion the text to print, for Error the message.
    QString text;
};

// Parses `arguments` (argv, the program name first). Never exits the process and never prints, so
// main() decides what to do with help, version and errors.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace app

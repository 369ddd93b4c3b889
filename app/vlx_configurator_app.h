#pragma once
// The application object: prepares the registry store, runs the main dialog modally and ends.

#include <QString>
#include <map>

#include "app/page_table.h"

class CVlxConfiguratorDlg;

// Embedded resources (sample configuration, help document, icon) and the icon provider. Safe to
// call more than once.
void InitProgramResources();

struct StartOptions {
    // The registry file (non-Windows); empty: the default file, created from the sample first.
    QString registryFile;
    // Drive letter (upper case) -> folder it stands for.
    std::map<char, QString> drives;
};

class CVlxConfiguratorApp {
  public:
    explicit CVlxConfiguratorApp(PageTable pages = DefaultPageTable());
    ~CVlxConfiguratorApp();

    // Opens the store (an unusable registry file is reported in an error message box and the
    // file is left alone), runs the main dialog and returns the process's exit code: 0 after a
    // normal end, 1 when the store could not be opened.
    int Run(const StartOptions& options);

    // The framework's start: runs the main dialog modally until it closes, then destroys it.
    // Returns false: the application has no message loop of its own.
    bool InitInstance();

    // The main dialog while it runs, otherwise null.
    CVlxConfiguratorDlg* MainWindow() const { return mainWindow_; }

  private:
    bool OpenStore(const StartOptions& options);

    PageTable pages_;
    CVlxConfiguratorDlg* mainWindow_ = nullptr;
};

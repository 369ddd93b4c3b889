// Shows the directory picker on its own, to look at it (under Xvfb, say):
//   picker_preview [--files] [FOLDER]
// maps C: to FOLDER (default: the home folder), runs the picker with real windows and prints
// the result and the path.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "dialogs/dlg_browse_dir.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CDlgBrowseDir dlg;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0) {
            dlg.directoriesOnly = false;
        } else {
            platform::SetDriveMapping('C', argv[i]);
        }
    }
    const int result = dlg.DoModal();
    std::printf("%d %s\n", result, dlg.path.c_str());
    return 0;
}

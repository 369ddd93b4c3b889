#pragma once
// The two things the non-Windows program does without a window on a registry file, for scripts
// and for the way back to the controller: --check and --export-for-import. Each opens the file
// so that nothing can be written to it, does its work in one read of the file and ends.

#include <QString>
#include <string>

#include "app/page_table.h"

namespace app {

struct HeadlessResult {
    int exitCode = 0;
    std::string out;     // for standard output, local 8-bit text
    std::string errors;  // for standard error, local 8-bit text
};

// Creates and loads every page of `pages` as the start-up does, without showing a window, and
// gives the text of every message box the start-up would show, in order, one after another with
// a blank line between them. Exit code 0 when every load succeeded, 1 when one failed, 2 (with
// the store's message) when the file cannot be read. The file is left as it is, byte for byte,
// also when a page's load writes. `registryFile` empty: the default file, which is not created.
// Needs a QApplication.
HeadlessResult RunCheck(const QString& registryFile, const PageTable& pages = DefaultPageTable());

// Writes `outFile` in the registry file's format: for every area of the program whose parent key
// is in the file, a deletion line followed by the area's keys and values as they are in the file
// (see registry/area_export.h). Exit code 0 on success, 1 when `outFile` cannot be written (it is
// then left as it was), 2 when the registry file or an entry in it cannot be read (nothing is
// written). Needs no QApplication.
HeadlessResult RunExportForImport(const QString& registryFile, const QString& outFile);

}  // namespace app

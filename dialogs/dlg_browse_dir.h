#pragma once
// The directory picker (dialog 138): drives on the right, the folders (and, if wanted, the files)
// of the current directory on the left, the chosen path in the edit on top.
//
//     CDlgBrowseDir dlg;
//     dlg.directoriesOnly = false;           // optional: let the user pick a file too
//     if (dlg.DoModal(this) != fw::kIdCancel) {  // `this`: the page, to centre it over the window
//         Use(dlg.path);                     // whatever the edit showed, typed text included
//     }
//
// The picker always opens at the root of drive C: (else the second drive of the list) and never
// starts from a path the caller gives. It navigates by making folders the process's current
// directory and leaves the last one current when it closes, so nothing in the program may rely
// on relative file names. `path` is in the controller's form ("C:\A\x.dat"); apply the
// ControllerPath rule (pages/common/controller_path.h) where the page stores the short form.
// The same object can be run again; each run starts afresh at drive C:.

#include <string>

#include "framework/dialog.h"
#include "framework/string_list.h"

namespace fw {
class ListBox;
}

class CDlgBrowseDir : public fw::Dialog {
    Q_OBJECT
  public:
    static constexpr int kTemplate = 138;

    // Item data of the directories list's rows.
    static constexpr fw::ItemData kDirectoryEntry = 1;
    static constexpr fw::ItemData kFileEntry = 2;

    CDlgBrowseDir();

    // True after construction; set it to false before DoModal to let the user choose a file.
    bool directoriesOnly = true;
    // Bound to the edit; after a run that did not end with kIdCancel, the chosen path.
    std::string path;

    static const fw::MessageTableBase& GetClassMessageTable();
    const fw::MessageTableBase& GetMessageTable() const override { return GetClassMessageTable(); }

  protected:
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    // Enter in the directories list opens the selected entry instead of pressing OK.
    bool PreTranslateKey(const fw::KeyMessage& message) override;

  private:
    // Selection changed in the drives list: makes the drive's root current and lists it.
    void SelectDrive();
    // Lists the current directory: folders first, then (unless directoriesOnly) files.
    void FillDirectoryList();
    // Selection changed in the directories list: shows `path`, with a selected file appended.
    void SelectDirectoryEntry();
    // Double-click or Enter in the directories list: enters a folder, or ends with OK on a file.
    void OpenDirectoryEntry();
    // Appends `name` to `path`, replacing a file name appended before.
    void AppendFileName(const std::string& name);

    bool fileAppended_ = false;  // `path` ends with a file name a selected file entry appended
    std::string selectedDrive_;  // text of the entry last selected in the drives list
    fw::ListBox* drivesList_ = nullptr;       // 1102, sorted
    fw::ListBox* directoriesList_ = nullptr;  // 1101, rows carry kDirectoryEntry / kFileEntry
};

#pragma once
// The "Upgrade Manager" tab page: the files and versions of each system type the registry
// holds (system types are neither added nor removed here), and the destination paths the
// upgrade manager watches. Edits change memory; only "&Apply" writes them.

#include <string>
#include <utility>

#include "framework/dialog.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/upgrade/system_type_definition.h"
#include "pages/upgrade/upgrade_registry.h"

class CTabDlgUpgradeManager : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgUpgradeManager();
    ~CTabDlgUpgradeManager() override;

    // Reloads the system types and the watched paths. False only when the Version key cannot
    // be opened (the watched paths are shown all the same).
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        upgrade::UpgradeArea area;
        bool opened = false;
        std::string installationDir;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Rewrites every system type's files and the watched paths.
    common::AreaResult SaveToRegistry() override;

    // The record of the entry selected in the system types list, or null.
    upgrade::SystemTypeDefinition* SelectedSystemType() const;
    // Fills the file list with the selected system type's files and names it in the caption.
    void ShowSystemType();

    const upgrade::SystemTypeList& SystemTypes() const { return area_.systemTypes; }
    const upgrade::WatchedPathList& WatchedPaths() const { return area_.watchedPaths; }
    const std::string& InstallationDir() const { return installationDir_; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;

  private:
    void ShowSelectedFile(fw::Notification& notification);
    void AddOrUpdateFile();
    void RemoveFile();
    void ShowSelectedPath(fw::Notification& notification);
    void BrowseForPath();
    void AddPath();
    void RemovePath();

    // The system types in registry order (the list shows them sorted); row i of the
    // monitored-paths list shows watched path i.
    PendingRead<AreaRead> pendingRead_;

    upgrade::UpgradeArea area_;
    std::string fileName_;         // bound to the file "Name:" edit
    std::string fileVersion_;      // bound to "Version:"
    std::string pathName_;         // bound to the monitored "Name:" edit
    std::string path_;             // bound to "Path:"
    std::string installationDir_;  // lower-cased, for the controller path rule
};

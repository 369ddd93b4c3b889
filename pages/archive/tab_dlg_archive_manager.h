#pragma once
// The "Archive Manager" tab page: named archive paths (one of each name's paths is the default)
// and archive configurations with the registry keys and the files and folders they archive.
// Edits change the records in memory; only "&Apply" writes them.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/dialog.h"
#include "pages/archive/archive_definitions.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"

namespace fw {
class ListBox;
}

class CTabDlgArchiveManager : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgArchiveManager();
    ~CTabDlgArchiveManager() override;

    // Reloads both areas and shows the first configuration and the first path name. False
    // when the Path or the Config key cannot be opened; what can be read is shown all the same.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        archive::ArchiveArea area;
        bool loaded = false;
        std::string installationDir;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Writes the paths and the configurations' sources anew.
    common::AreaResult SaveToRegistry() override;
    const registry::AreaCopy* AreaAsRead() const override { return &area_.asRead; }

    // The record of the selected configuration / path name, or null.
    archive::ArchiveConfigurationDefinition* SelectedConfiguration() const;
    archive::ArchivePathDefinition* SelectedPathDefinition() const;
    // The first path definition of that name (without regard to case); null for an empty name.
    archive::ArchivePathDefinition* FindPathDefinition(const std::string& name) const;

    // The horizontal scroll extent a source list needs for `strings`: 6.7 pixels per character
    // of the longest, truncated.
    static int SourceListExtent(const std::vector<std::string>& strings);
    static void SetSourceListExtent(fw::ListBox& list, const std::vector<std::string>& strings);

    // Fill the source lists for the selected configuration, the paths list for the selected path
    // name, and the Path edit for the selected path.
    void ShowConfiguration();
    void ShowPathDefinition();
    void ShowSelectedPath();

    const archive::ArchiveArea& Area() const { return area_; }
    const std::string& InstallationDir() const { return installationDir_; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;

  private:
    void AddConfiguration();
    void RemoveConfiguration();
    void AddRegistrySources();
    void RemoveRegistrySource();
    void AddFileSource();
    void RemoveFileSource();
    void StoreFileSourceCheck();
    void SetDefaultPath();
    void AddPath();
    void RemovePath();
    void RemovePathName();
    void BrowseForPath();

    // Runs the directory picker with files listed; the chosen path in its stored form (the
    // controller path rule), none on Cancel.
    std::optional<std::string> PickPath();
    // Check marks on the paths list: the record's default only.
    void MarkDefaultPath(const archive::ArchivePathDefinition& definition);

    PendingRead<AreaRead> pendingRead_;

    archive::ArchiveArea area_;    // the records and what the load keeps for the save
    std::string installationDir_;  // lower-cased, for the controller path rule
    // Bound to the edits "Name:", "Path:" and "New archive configuration".
    std::string pathName_;
    std::string path_;
    std::string newConfigurationName_;
};

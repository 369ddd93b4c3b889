#pragma once
// The "Templates/Templates list" tab page: every file template with its properties (mask,
// comment, template file, fast create, the user levels it is offered at), and the directories
// with the templates offered in each. Edits change the records in memory; only "&Apply" writes.

#include <array>
#include <string>
#include <utility>

#include "framework/dialog.h"
#include "framework/row_records.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/templates/template_definition.h"

class CTabDlgTemplates : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgTemplates();
    ~CTabDlgTemplates() override;

    // Reloads both lists and the installation directory. A root that cannot be opened makes it
    // fail; what the other one holds is shown all the same.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        templates::TemplatesArea area;
        common::AreaResult result;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Writes both areas anew.
    common::AreaResult SaveToRegistry() override;
    const registry::AreaCopy* AreaAsRead() const override { return &area_.asRead; }

    // The records shown in the selected rows of the all-available and directories lists, or null.
    templates::TemplateDefinition* SelectedTemplate() const;
    templates::TemplatesListDefinition* SelectedDirectory() const;

    const templates::TemplatesArea& Area() const { return area_; }
    // Lower-cased, as the last load read it.
    const std::string& InstallationDir() const { return area_.installationDir; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    bool PreTranslateKey(const fw::KeyMessage& message) override;

  private:
    void ShowTemplate();
    void FollowDirectoryTemplate();
    void ShowDirectory();
    void EnableForDirectory();
    void DisableForDirectory();
    void AddTemplate();
    void RemoveTemplate();
    void AddDirectory();
    void RemoveDirectory();
    void BrowseForDirectory();
    void BrowseForTemplateFile();
    void StoreMask();
    void StoreComment();
    void StoreFullPath();
    void StoreFastCreate();
    void StoreLevelFlags();

    // The full-path member in its stored form, given to the selected template.
    void StoreFullPathMember();
    // The template members into their controls (never counted as the user's edit).
    void PutTemplateMembers();
    void UpdateDirectoriesExtent();

    PendingRead<AreaRead> pendingRead_;

    templates::TemplatesArea area_;
    // The all-available templates and the directories lists: row i shows record i.
    fw::RowRecords<templates::TemplateDefinition> templateRows_;
    fw::RowRecords<templates::TemplatesListDefinition> directoryRows_;

    // Exchanged with the controls.
    std::string newName_;        // edit 1080
    std::string directoryPath_;  // edit 1091
    std::string mask_;           // edit 1039
    std::string comment_;        // edit 1040
    std::string fullPath_;       // edit 1041
    int fastCreate_ = 0;
    std::array<int, templates::kLevelCount> levels_ = {0, 0, 0, 0};  // Demo, User, Expert, Admin

    // The control in which a key went down and whose release is awaited (0 when none), so a
    // release that follows a press elsewhere (a message box closed with Enter) does nothing.
    int keyDownControl_ = 0;
};

#pragma once
// The "Filter/Filter list" tab page: the named file filters with their mask, comment, attributes
// and types, and per user level which filters it may use and which of them is its default.
// Edits change the records in memory; only "&Apply" writes them.

#include <string>
#include <utility>

#include "framework/dialog.h"
#include "framework/row_records.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/filters/filter_definition.h"
#include "pages/filters/filter_registry.h"

class CTabDlgFilters : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgFilters();
    ~CTabDlgFilters() override;

    // Reloads both areas. An area that cannot be opened is left empty while the other is read
    // and shown; false then.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        filters::FiltersArea area;
        common::AreaResult result;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Writes both areas anew.
    common::AreaResult SaveToRegistry() override;
    const registry::AreaCopy* AreaAsRead() const override { return &area_.asRead; }

    // Row i of the all-filters list shows filter i; row i of the level's list shows entry i of
    // its `filters`.
    const filters::FilterRecords& Filters() const { return area_.filters; }
    const filters::FilterListRecords& Levels() const { return area_.levels; }
    filters::FilterDefinition* FindFilter(const std::string& name) const;
    filters::FilterListDefinition* FindFilterList(const std::string& level) const;

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    bool PreTranslateKey(const fw::KeyMessage& message) override;

  private:
    void ShowLevel();
    void ShowFilter();
    void ShowFilterOfLevelRow();
    void AddLevel();
    void RemoveLevel();
    void AddFilter();
    void RemoveFilter();
    void MakeAvailable();
    void DisableForLevel();
    void ChooseDefault();
    void ChangeMask();
    void ChangeComment();
    void ToggleShowExplode();
    void ToggleHidden();
    void ToggleSystem();
    void ToggleType();

    // The properties as the template has them, for when no filter is left to show.
    void ShowNoFilter();
    // Puts a check box back when no filter takes the click.
    void UndoCheck(int id);

    PendingRead<AreaRead> pendingRead_;

    filters::FiltersArea area_;
    // The all-filters and defined-levels lists: row i shows record i, and the selected row's
    // record is the one the properties show and the edits reach.
    fw::RowRecords<filters::FilterDefinition> filterRows_;
    fw::RowRecords<filters::FilterListDefinition> levelRows_;

    std::string comment_;  // bound to the comment edit
    std::string mask_;     // bound to the mask edit
    std::string newName_;  // bound to the name edit
    int showExplode_ = 0;  // bound to "Show explode"
    int hidden_ = 0;       // bound to "Hidden"
    int system_ = 0;       // bound to "System"
    // The control in which a key went down and whose release is awaited (0 when none), so a
    // release whose press went elsewhere (a message box closed with Enter) does nothing.
    int keyDownControl_ = 0;
};

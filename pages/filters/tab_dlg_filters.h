#pragma once
// The "Filter/Filter list" tab page: the named file filters with their mask, comment, attributes
// and types, and per user level which filters it may use and which of them is its default.
// Edits change the records in memory; only "&Apply" writes them.

#include <string>

#include "framework/dialog.h"
#include "pages/base/basic_dialog_tab.h"
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
    // "&Apply": writes both areas anew.
    void SaveToRegistry();

    // Row i of the all-filters list shows filter i; row i of the level's list shows entry i of
    // its `filters`.
    const filters::FilterRecords& Filters() const { return filters_; }
    const filters::FilterListRecords& Levels() const { return levels_; }
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

    // The level list of the selected defined level, or null.
    filters::FilterListDefinition* SelectedLevel() const;
    // The filter of the selected row of the all-filters list, or null.
    filters::FilterDefinition* SelectedFilter() const;
    // The filter of row `currentFilter_`, or null.
    filters::FilterDefinition* CurrentFilter() const;
    // The properties as the template has them, for when no filter is left to show.
    void ShowNoFilter();
    // Puts a check box back when no filter takes the click.
    void UndoCheck(int id);

    filters::FilterRecords filters_;
    filters::FilterListRecords levels_;
    filters::FilterAreaValues areaValues_;

    std::string comment_;     // bound to the comment edit
    std::string mask_;        // bound to the mask edit
    std::string newName_;     // bound to the name edit
    int showExplode_ = 0;     // bound to "Show explode"
    int hidden_ = 0;          // bound to "Hidden"
    int system_ = 0;          // bound to "System"
    int currentFilter_ = -1;  // row of the all-filters list last shown
    // The control in which a key went down and whose release is awaited (0 when none), so a
    // release whose press went elsewhere (a message box closed with Enter) does nothing.
    int keyDownControl_ = 0;
};

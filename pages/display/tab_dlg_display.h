#pragma once
// The "Display" tab page: which user levels have a display configuration and, per level, the
// file list's columns (order, width), its sort column and order, and the volumes of the tree.
// Edits change the records in memory; only "&Apply" writes them.

#include <cstdint>
#include <string>
#include <utility>

#include "framework/dialog.h"
#include "framework/row_records.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/display/display_registry.h"
#include "pages/display/level_definition.h"

class CTabDlgDisplay : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgDisplay();
    ~CTabDlgDisplay() override;

    // Reloads every level; fills an existing but empty Display key with the "DEFAULT" level.
    // False only when the Display key cannot be opened.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        display::DisplayArea area;
        bool opened = false;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Writes the whole Display area anew.
    common::AreaResult SaveToRegistry() override;

    // The record shown in row `row` of the defined-levels list, or null.
    display::LevelDefinition* FindLevel(int row) const;
    // The level's first column of that name (without regard to case), or null.
    static display::ColumnDefinition* FindColumn(const std::string& name,
                                                 const display::LevelDefinition* level);

    const display::LevelList& Levels() const { return area_.levels; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    bool PreTranslateKey(const fw::KeyMessage& message) override;

  private:
    void ShowLevel();
    void ShowColumn();
    void AddLevel();
    void RemoveLevel();
    void AddColumn();
    void RemoveColumn();
    int MoveColumnRequested(int delta);
    void MoveColumn(int delta);
    void ChooseSortColumn();
    void ToggleDescending();
    void ChangeWidth();
    void ToggleVolume();

    // The column shown in row `row` of the defined-columns list (rows follow the positions).
    display::ColumnDefinition* ColumnOfRow(const display::LevelDefinition* level, int row) const;
    // Selects the sort column's entry in the sort list (the first entry when it has none).
    void SelectSortEntry(const display::LevelDefinition& level);

    // Row i of the defined-levels list shows level i; the Display key's own values, which no
    // level owns, are written back as they were.
    PendingRead<AreaRead> pendingRead_;

    display::DisplayArea area_;
    fw::RowRecords<display::LevelDefinition> levelRows_;  // the defined-levels list
    bool descending_ = false;  // bound to the "Sort descending" check box
    std::uint32_t width_ = 0;  // bound to the "Column width" edit
    int currentColumn_ = 0;    // selected row of the defined columns as last recorded
    int currentLevel_ = -1;    // selected row of the defined levels as last recorded
    // The list in which a key went down and whose release is awaited (0 when none), so a
    // release that follows a press elsewhere (a message box closed with Enter) does nothing.
    int keyDownList_ = 0;
};

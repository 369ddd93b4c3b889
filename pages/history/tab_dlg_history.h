#pragma once
// The "History Info" tab page: the comparison criteria the archive manager uses when archiving
// and restoring, where history traces are saved and how many, and six switches that depend on
// each other. Edits change the page only; "&Apply" writes the values of the Archive key.

#include <string>
#include <utility>

#include "framework/dialog.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/history/history_settings.h"

class CTabDlgHistory : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgHistory();
    ~CTabDlgHistory() override;

    // Reloads the criteria and every setting the Archive key holds; a setting whose value is
    // absent keeps what the page showed. False when the Archive key cannot be opened (the
    // criteria list is then empty and nothing else changes).
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        history::HistorySettings settings;
        bool loaded = false;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Refuses with two messages when a history is asked for without a path; otherwise writes
    // the criteria and the settings. Nothing is deleted.
    common::AreaResult SaveToRegistry() override;
    // Forces and clears the dependent switches, enables and disables their boxes and shows
    // every setting.
    void ApplyDependencies();

    const history::HistorySettings& Settings() const { return settings_; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    std::string SaveFailureText() const override;

  private:
    void SwitchClicked();
    void LimitCount();
    void BrowseForPath();

    PendingRead<AreaRead> pendingRead_;

    history::HistorySettings settings_;
};

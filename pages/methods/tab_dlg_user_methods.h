#pragma once
// The "User Methods" tab page: the ten user-defined methods 90 to 99, always ten slots, each
// named by the user, with conditions and level flags as on the "Methods" page. Records are found
// by their row, never by name, so two user methods may carry the same name. Edits change the
// records in memory; only "&Apply" writes them, creating the keys of all ten.

#include <string>
#include <utility>

#include "framework/dialog.h"
#include "framework/row_records.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/methods/method_definition.h"
#include "pages/methods/method_properties.h"

class CTabDlgUserMethods : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgUserMethods();
    ~CTabDlgUserMethods() override;

    // Reloads the ten slots (defaults for a slot without a key), selects the first and shows
    // it. Never fails.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        methods::MethodList methods;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Creates or opens the key of every slot and writes its name, conditions and
    // level flags.
    common::AreaResult SaveToRegistry() override;

    // The record of the selected row (number 90 + row), or null.
    methods::MethodDefinition* SelectedMethod() const;

    const methods::MethodList& Methods() const { return methods_; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;

  private:
    // Selection change of the methods list: insists on a name for every user method, then
    // shows the selected one.
    void SelectionChanged();
    void ShowSelectedMethod();
    void NameChanged();
    void ShowConditionStatus(fw::Notification& notification);
    void ToggleCheck(fw::Notification& notification);

    PendingRead<AreaRead> pendingRead_;

    methods::MethodList methods_;  // the ten slots; row k shows the record numbered 90 + k
    fw::RowRecords<methods::MethodDefinition> methodRows_;  // the methods list
    methods::MethodProperties properties_;
    std::string nameText_;  // bound to the name edit
};

#pragma once
// The "Methods" tab page: for each built-in method (1 to 89) the system and item conditions
// under which it applies, and per user level whether it is enabled and whether the operator is
// asked first. Methods are neither added, removed nor renamed here. Edits change the records in
// memory; only "&Apply" writes them.

#include <utility>

#include "framework/dialog.h"
#include "framework/row_records.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/methods/method_definition.h"
#include "pages/methods/method_properties.h"

class CTabDlgMethods : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgMethods();
    ~CTabDlgMethods() override;

    // Reloads every built-in method, selects the first and shows it. Never fails: a missing
    // area gives an empty list.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        methods::MethodList methods;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Writes the conditions and level flags of every method into its existing key.
    common::AreaResult SaveToRegistry() override;

    // The record of the selected row of the methods list, or null.
    methods::MethodDefinition* SelectedMethod() const;

    const methods::MethodList& Methods() const { return methods_; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;

  private:
    void ShowSelectedMethod();
    void ShowConditionStatus(fw::Notification& notification);
    void ToggleCheck(fw::Notification& notification);

    PendingRead<AreaRead> pendingRead_;

    methods::MethodList methods_;  // ascending number; row i of the methods list shows record i
    fw::RowRecords<methods::MethodDefinition> methodRows_;  // the methods list
    methods::MethodProperties properties_;
};

#pragma once
// The main window: dialog 102 with menu 131, a tab control whose pages edit one registry area
// each. Created, loaded and placed in tab order when the dialog initialises; exactly one page is
// visible; the close request ends the dialog at once without a question.

#include <QIcon>
#include <QPointer>
#include <memory>
#include <vector>

#include "app/page_table.h"
#include "dialogs/help_window.h"
#include "framework/dialog.h"

namespace fw {
class TabControl;
}

class CVlxConfiguratorDlg : public fw::Dialog {
    Q_OBJECT
  public:
    static constexpr int kTemplate = 102;

    explicit CVlxConfiguratorDlg(PageTable table = DefaultPageTable());
    ~CVlxConfiguratorDlg() override;

    int CurrentPage() const { return currentPage_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    CBasicDialogTab* Page(int index) const;
    fw::TabControl* Tabs() const { return tabControl_; }
    const QIcon& Icon() const { return icon_; }
    // The help window once "&Help" has shown it (where the platform has no help viewer).
    CHelpWindow* HelpWindow() const { return helpWindow_; }

    static const fw::MessageTableBase& GetClassMessageTable();

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    // Enter and Esc never end the main window.
    void OnDefaultAction() override {}
    void OnCancelAction() override {}
    void OnClose() override;

  private:
    void ShowSelectedPage(fw::Notification& notification);
    void SelectTabCommand(int commandId);
    void ExitCommand();
    void HelpCommand();
    void AboutCommand();
    void CreatePages();

    PageTable table_;

    // In this order, as the main window keeps them.
    int currentPage_ = 0;
    std::vector<std::unique_ptr<CBasicDialogTab>> pages_;
    fw::TabControl* tabControl_ = nullptr;  // control 1000, owned by the window
    QIcon icon_;

    QPointer<CHelpWindow> helpWindow_;  // owned by this window through Qt parenting
};

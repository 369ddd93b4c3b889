#pragma once
// Base of every tab page: a borderless child dialog over the main window's tab control with the
// three common buttons "&Apply" (1015), "&Restore from Registry" (1016) and "E&xit" (1019), all
// wired here.
//
// A page derives from it, names its registry area, defines LoadFromRegistry and SaveToRegistry,
// and chains its message table to this class's so that the three buttons reach the base:
//
//   CTabDlgX::CTabDlgX() : CBasicDialogTab(x::kXArea) {}
//
//   const fw::MessageTableBase& CTabDlgX::GetMessageTable() const {
//       static const auto table =
//           fw::MessageTable<CTabDlgX>(&CBasicDialogTab::GetClassMessageTable())
//               .OnClicked(1030, &CTabDlgX::AddSomething);
//       return table;
//   }

#include <QRect>
#include <string>

#include "framework/dialog.h"
#include "pages/common/area_contract.h"

namespace fw {
class TabControl;
}
namespace registry {
class AreaCopy;
}

class CBasicDialogTab : public fw::Dialog {
    Q_OBJECT
  public:
    static constexpr int kApplyId = 1015;
    static constexpr int kRestoreId = 1016;
    static constexpr int kExitId = 1019;

    CBasicDialogTab();
    // A page of the registry area `area` (which outlives it).
    explicit CBasicDialogTab(const common::AreaDescriptor& area);
    ~CBasicDialogTab() override;

    // Creates the page window from `templateNumber` as a hidden child of `tabControl`, keeps both
    // pointers and places the window over the tab control's display area (PageRectInTab).
    // Returns the framework's create result.
    bool CreateInTab(unsigned templateNumber, fw::TabControl* tabControl, fw::Dialog* mainDialog);

    // Reads the page's whole registry area into its records and controls, replacing what it
    // showed. False when the area is not valid.
    virtual bool LoadFromRegistry() = 0;
    // Writes the page's whole registry area from its records. What the result reports as failed
    // is said by "&Apply" (ApplyToRegistry).
    virtual common::AreaResult SaveToRegistry() = 0;

    // What runs around every page's save, where the store needs it (the journal of the area on
    // Windows, see app/apply_journal.h).
    class SaveGuard {
      public:
        virtual ~SaveGuard() = default;
        // Before the save changes anything: "" to let it run, otherwise the message that says
        // why it must not (shown as an error; nothing is saved). `asRead` is the page's
        // AreaAsRead.
        virtual std::string BeforeSave(const common::AreaDescriptor& area,
                                       const registry::AreaCopy* asRead) = 0;
        // After the save ran to its end, whatever it reported: "" or a message to show.
        virtual std::string AfterSave() = 0;
    };
    // Installs `guard` for the saves of every page from now on (null: none); not owned.
    static void SetSaveGuard(SaveGuard* guard);

    // The registry area the page loads and saves; null for a page that names none.
    const common::AreaDescriptor* RegistryArea() const { return area_; }
    // The area's keys as the last load read them whole, for a page that keeps such a copy
    // (the journal before its save is then written from it while it is current); else null.
    virtual const registry::AreaCopy* AreaAsRead() const { return nullptr; }

    fw::TabControl* TabControl() const { return tabControl_; }
    fw::Dialog* MainDialog() const { return mainDialog_; }

    // Where a page lies in a tab control with client rectangle `client` and `rows` rows of tabs
    // `tabHeight` high: below every row, 3 pixels in from each edge.
    static QRect PageRectInTab(const QRect& client, int tabHeight, int rows);

    static const fw::MessageTableBase& GetClassMessageTable();

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;

    // Enter and Esc never close or hide a page.
    void OnDefaultAction() override {}
    void OnCancelAction() override {}

    // "&Apply": SaveToRegistry, then an error box with SaveFailureText when the save reports a
    // failure. Every save of a page passes through here.
    void ApplyToRegistry();
    // The error box of a save that reports a failure; empty when the page says nothing.
    virtual std::string SaveFailureText() const;

    // "&Restore from Registry": reloads the page; the result is not looked at.
    void Restore();
    // "E&xit": asks the main dialog to close, which ends the program without a question.
    void Exit();

    fw::TabControl* tabControl_ = nullptr;  // parent window; not owned
    fw::Dialog* mainDialog_ = nullptr;      // owner of the page; not owned

  private:
    const common::AreaDescriptor* area_ = nullptr;  // not owned
};

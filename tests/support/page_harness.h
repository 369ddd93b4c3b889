#pragma once
// Page half of the test kit: a tab page (any CBasicDialogTab subclass) on a throw-away registry,
// hosted the way the main window hosts it, with every message box and modal dialog recorded and
// answered. Each harness installs, for its lifetime:
//   - a TempRegistry seeded from .reg text (registry_fixture.h),
//   - a uikit::UiRecorder as the UI service (ui_kit.h): boxes are recorded, answered from its
//     queue; a box nobody expected fails the test,
//   - the program's command scope: every user action (click, key, menu command) runs in one
//     registry batch, and store errors after it are shown as error boxes, as in the program.
//
//   TEST(DisplayPage, ApplyWritesTheNewWidth) {
//       testsupport::PageHarness h(R"(
//   [HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\VORNA OPX\OCX Control's\Ostrix\Display\Admin]
//   "Column1"="Name"
//   )");
//       CTabDlgDisplay& page = h.CreatePage<CTabDlgDisplay>(129);  // window, CreateInTab, load
//       EXPECT_TRUE(h.LoadResult());
//       uikit::SelectRowByText(page, res::t129::kDefinedLevels, "Admin");
//       uikit::TypeText(page, res::t129::kColumnWidth, "120");
//       h.Apply();                                   // clicks "&Apply" (1015)
//       EXPECT_EQ(h.Export(kDisplayKey), "...");     // what the store holds now
//       EXPECT_TRUE(h.Ui().Messages().empty());
//   }
//
// Acting as the user (ui_kit.h, all by control id on the page): Click, SelectRow /
// SelectRowByText, DoubleClickRow, ToggleCheck, ChooseComboEntry / ChooseComboText, TypeText /
// AppendText, PressKey / ReleaseKey / TapKey (virtual key codes, the page's PreTranslateKey sees
// them first), SelectTreeItem / SetTreeCheck, ClickUpDown; reading: Rows, page.GetItemText(id).
//
// To answer a box the action will show: h.Ui().Answer(fw::MsgAnswer::Cancel) before the action
// (h.Ui().Messages() tells text, icon and buttons afterwards); to drive a modal picker:
// h.Ui().OnModal([](fw::Dialog& d) { ...; uikit::Click(d, fw::kIdOk); }), or for the directory
// picker testsupport::AnswerPicker / CancelPicker (picker_answers.h); h.Drive() holds its folders.
// The store can be changed behind the page's back with h.Seed(regText) (another program's edit,
// "[-key]" lines delete) or made to fail its writes with h.FailStoreWrites().
// Link the test with vlx_page_harness (and vlx_ui_test_main for main()).
//
// For the whole program rather than one page, RunMainWindow (below) runs the real main window
// on the current store with any page table.

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/page_table.h"
#include "framework/dialog.h"
#include "pages/base/basic_dialog_tab.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/temp_drive.h"
#include "tests/support/ui_kit.h"

namespace fw {
class TabControl;
}
class CVlxConfiguratorDlg;

namespace testsupport {

// Where pages live in tests: a top-level window with the main window's size, font and tab
// control (id 1000), but without pages or menu of its own. Records close requests (a page's
// "E&xit") instead of ending anything.
class PageHost : public fw::Dialog {
    Q_OBJECT
  public:
    PageHost();
    fw::TabControl& Tabs() const;
    int CloseRequests() const { return closeRequests_; }

  protected:
    void OnClose() override { ++closeRequests_; }
    void OnDefaultAction() override {}
    void OnCancelAction() override {}

  private:
    int closeRequests_ = 0;
};

class PageHarness {
  public:
    // Seeds the store from `regText` (see TempRegistry) and installs the recorder and scope.
    explicit PageHarness(const std::string& regText = "");
    ~PageHarness();
    PageHarness(const PageHarness&) = delete;
    PageHarness& operator=(const PageHarness&) = delete;

    // Constructs the page, creates its window from `templateNumber` in the host's tab control
    // (CreateInTab), shows it and loads it (LoadFromRegistry, in one batch as at start-up). Store
    // errors of the load are reported like the program does. One page per harness.
    template <class Page, class... Args>
    Page& CreatePage(unsigned templateNumber, Args&&... args) {
        auto page = std::make_unique<Page>(std::forward<Args>(args)...);
        Page& ref = *page;
        Install(std::move(page), templateNumber);
        return ref;
    }

    // The same for a page of a page table (the program's own, for tests over every page).
    CBasicDialogTab& CreatePage(const PageEntry& entry) {
        Install(entry.create(), entry.templateNumber);
        return Page();
    }

    // The load result of CreatePage.
    bool LoadResult() const { return loadResult_; }
    // Runs LoadFromRegistry again (as "&Restore from Registry" does, but returning the result).
    bool Reload();

    CBasicDialogTab& Page() const;
    PageHost& Host() const { return *host_; }
    fw::TabControl& Tabs() const { return host_->Tabs(); }

    // The common buttons, clicked as the user does.
    void Apply();
    void Restore();
    void Exit();
    // How often the page asked the main window to close ("E&xit").
    int CloseRequests() const { return host_->CloseRequests(); }

    TempRegistry& Registry() { return registry_; }
    // Drive C: for the page's directory pickers (empty until the test fills it).
    TempDrive& Drive() { return drive_; }
    uikit::UiRecorder& Ui() { return recorder_; }
    // Registry().Export for a key under HKEY_LOCAL_MACHINE.
    std::string Export(const std::string& path) const;
    bool KeyExists(const std::string& path) const;

    // Imports more .reg text into the store as another program would (the page does not notice
    // until it reloads).
    void Seed(const std::string& regText);
    // Makes every later write of the file store fail with `error` (an errno value, default: disk
    // full); false where the store is the system registry, so tests can skip.
    bool FailStoreWrites(int error = 28);

  private:
    void Install(std::unique_ptr<CBasicDialogTab> page, unsigned templateNumber);

    TempRegistry registry_;
    TempDrive drive_;
    uikit::UiRecorder recorder_;
    std::unique_ptr<PageHost> host_;
    std::unique_ptr<CBasicDialogTab> page_;
    bool loadResult_ = false;
};

// Runs the real main window modally on the current store with `pages` and calls `drive` once it
// is initialised and shown; `drive` acts on it and may end it (close box, "E&xit"); if it does
// not, the window is closed afterwards. Start-up message boxes go to `ui`. Returns the dialog's
// result.
int RunMainWindow(uikit::UiRecorder& ui, const PageTable& pages,
                  const std::function<void(CVlxConfiguratorDlg&)>& drive);

}  // namespace testsupport

// A page opening the directory picker from a button, answered through the test kit the way the
// page tests answer it.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/dlg_browse_dir.h"
#include "framework/message_table.h"
#include "pages/base/basic_dialog_tab.h"
#include "tests/support/page_harness.h"
#include "tests/support/picker_answers.h"

namespace {

constexpr unsigned kPageTemplate = 130;  // only the common buttons; "&Apply" stands for "Browse"

// Browses for a file on "&Apply" and keeps what the picker returned.
class CBrowsingPage : public CBasicDialogTab {
  public:
    bool LoadFromRegistry() override { return true; }
    common::AreaResult SaveToRegistry() override { return {}; }

    void Browse() {
        CDlgBrowseDir dlg;
        dlg.directoriesOnly = false;
        if (dlg.DoModal(this) != fw::kIdCancel) {
            chosen = dlg.path;
        }
    }

    std::string chosen = "unchanged";

  protected:
    const fw::MessageTableBase& GetMessageTable() const override {
        static const auto table =
            fw::MessageTable<CBrowsingPage>(&CBasicDialogTab::GetClassMessageTable())
                .OnClicked(kApplyId, &CBrowsingPage::Browse);
        return table;
    }
};

TEST(BrowseDirFromAPage, ReturnsTheTypedPathOnOkAndNothingOnCancel) {
    testsupport::PageHarness h;
    h.Drive().MakeFolder("Programs");
    auto& page = h.CreatePage<CBrowsingPage>(kPageTemplate);

    testsupport::PickerRequest asked;
    testsupport::AnswerPicker(h.Ui(), "C:\\VLX\\Roboter\\VLX\\R1", &asked);
    h.Apply();
    EXPECT_TRUE(asked.opened);
    EXPECT_FALSE(asked.directoriesOnly);
    EXPECT_EQ(asked.shownPath, "C:\\");
    EXPECT_EQ(page.chosen, "C:\\VLX\\Roboter\\VLX\\R1");

    testsupport::PickerRequest cancelled;
    testsupport::CancelPicker(h.Ui(), &cancelled);
    h.Apply();
    EXPECT_TRUE(cancelled.opened);
    EXPECT_EQ(page.chosen, "C:\\VLX\\Roboter\\VLX\\R1");

    EXPECT_EQ(h.Ui().ModalRuns(),
              (std::vector<int>{CDlgBrowseDir::kTemplate, CDlgBrowseDir::kTemplate}));
    EXPECT_TRUE(h.Ui().Messages().empty());
}

}  // namespace

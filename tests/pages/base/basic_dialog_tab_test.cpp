// The tab page base: placement over the tab control, the shared Restore and Exit commands, Enter
// and Esc, and the placeholder page.

#include <gtest/gtest.h>

#include "framework/framework.h"
#include "pages/base/basic_dialog_tab.h"
#include "tests/app/test_pages.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace {

using frametest::CTestPage;

constexpr unsigned kPageTemplate = 130;  // a page with only the common buttons

TEST(PageRectInTab, OneAndTwoRowsOfTabs) {
    EXPECT_EQ(CBasicDialogTab::PageRectInTab(QRect(0, 0, 700, 500), 20, 1), QRect(3, 23, 694, 474));
    EXPECT_EQ(CBasicDialogTab::PageRectInTab(QRect(0, 0, 700, 500), 20, 2), QRect(3, 43, 694, 454));
}

// A real tab control of 700 x 500 pixels: the page lies below every row of tabs.
class CreateInTabTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uikit::EnsureApplication();
        tabs_ = std::make_unique<fw::TabControl>(nullptr, nullptr, 1000, fw::kMultiLineTabs);
        tabs_->resize(700, 500);
    }
    std::unique_ptr<fw::TabControl> tabs_;
};

TEST_F(CreateInTabTest, PlacesThePageBelowOneRow) {
    tabs_->InsertItem(0, "Display");
    ASSERT_EQ(tabs_->GetRowCount(), 1);
    const int h = tabs_->GetItemRect(0).height();
    ASSERT_GT(h, 0);

    CTestPage page(0, true, nullptr);
    ASSERT_TRUE(page.CreateInTab(kPageTemplate, tabs_.get(), nullptr));
    EXPECT_EQ(page.parentWidget(), tabs_.get());
    EXPECT_EQ(page.TabControl(), tabs_.get());
    EXPECT_FALSE(page.isVisibleTo(tabs_.get())) << "pages are created hidden";
    EXPECT_EQ(page.geometry(), QRect(3, h + 3, 694, 500 - h - 6));
}

TEST_F(CreateInTabTest, PlacesThePageBelowTwoRows) {
    // Labels too wide for one row of 700 pixels.
    for (int i = 0; i < 12; ++i)
        tabs_->InsertItem(i, "A rather long tab label number " + std::to_string(i));
    const int rows = tabs_->GetRowCount();
    ASSERT_GE(rows, 2);
    const int h = tabs_->GetItemRect(0).height();

    CTestPage page(0, true, nullptr);
    ASSERT_TRUE(page.CreateInTab(kPageTemplate, tabs_.get(), nullptr));
    EXPECT_EQ(page.geometry(), QRect(3, rows * h + 3, 694, 500 - rows * h - 6));
}

TEST_F(CreateInTabTest, UnknownTemplateFailsButKeepsThePointers) {
    CTestPage page(0, true, nullptr);
    EXPECT_FALSE(page.CreateInTab(9999, tabs_.get(), nullptr));
    EXPECT_EQ(page.TabControl(), tabs_.get());
}

TEST(BasicDialogTab, HasTheThreeCommonButtons) {
    testsupport::PageHarness h;
    CTestPage& page = h.CreatePage<CTestPage>(kPageTemplate, 0, true, nullptr);
    EXPECT_EQ(page.GetItemText(CBasicDialogTab::kApplyId), "&Apply");
    EXPECT_EQ(page.GetItemText(CBasicDialogTab::kRestoreId), "&Restore from Registry");
    EXPECT_EQ(page.GetItemText(CBasicDialogTab::kExitId), "E&xit");
    EXPECT_EQ(page.MainDialog(), &h.Host());
    EXPECT_EQ(page.TabControl(), &h.Tabs());
}

TEST(BasicDialogTab, RestoreReloadsWithoutAMessageEvenWhenTheLoadFails) {
    testsupport::PageHarness h;
    CTestPage& page = h.CreatePage<CTestPage>(kPageTemplate, 0, true, nullptr);
    EXPECT_EQ(page.loads, 1);
    h.Restore();
    EXPECT_EQ(page.loads, 2);
    page.SetLoadSucceeds(false);
    h.Restore();
    EXPECT_EQ(page.loads, 3);
    EXPECT_TRUE(h.Ui().Messages().empty());
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(h.CloseRequests(), 0);
}

// "&Apply" runs the page's save once; a save that reports a failure gets the page's error box,
// unless the page says nothing for it.
class QuietPage : public CTestPage {
  public:
    using CTestPage::CTestPage;
    std::string SaveFailureText() const override { return {}; }
};

TEST(BasicDialogTab, ApplySavesOnceAndSaysWhatFailed) {
    const struct {
        bool fails;
        bool quiet;
        const char* shown;  // the error box's text; null for none
    } cases[] = {
        {false, false, nullptr},
        {true, false, "Error deleting registry"},
        {true, true, nullptr},
    };
    for (const auto& c : cases) {
        // Seeded with the pages' key, so the system registry is cleared of it afterwards too.
        testsupport::PageHarness h("[HKEY_LOCAL_MACHINE\\Software\\Frame Test]\n");
        CTestPage& page = c.quiet ? h.CreatePage<QuietPage>(kPageTemplate, 0, true, nullptr)
                                  : h.CreatePage<CTestPage>(kPageTemplate, 0, true, nullptr);
        if (c.fails)
            page.saveResult.AddFailure("Software\\Frame Test", 5);
        if (c.shown != nullptr)
            h.Ui().Answer(fw::MsgAnswer::Ok);
        h.Apply();
        EXPECT_EQ(page.saves, 1);
        EXPECT_TRUE(h.KeyExists(page.KeyPath()));
        ASSERT_EQ(h.Ui().Messages().size(), c.shown != nullptr ? 1u : 0u) << c.fails << c.quiet;
        if (c.shown != nullptr) {
            EXPECT_EQ(h.Ui().Messages()[0].text, c.shown);
            EXPECT_EQ(h.Ui().Messages()[0].icon, fw::MsgIcon::Error);
        }
    }
}

TEST(BasicDialogTab, ExitAsksTheMainWindowToCloseWithoutAQuestion) {
    testsupport::PageHarness h;
    h.CreatePage<CTestPage>(kPageTemplate, 0, true, nullptr);
    h.Exit();
    EXPECT_EQ(h.CloseRequests(), 1);
    EXPECT_TRUE(h.Ui().Messages().empty());
}

TEST(BasicDialogTab, EnterAndEscNeitherCloseNorHideThePage) {
    testsupport::PageHarness h;
    CTestPage& page = h.CreatePage<CTestPage>(kPageTemplate, 0, true, nullptr);
    uikit::TapDialogKey(page, fw::kVkReturn);
    uikit::TapDialogKey(page, fw::kVkEscape);
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(h.CloseRequests(), 0);
    EXPECT_TRUE(h.Ui().Messages().empty());
}

}  // namespace

namespace {

// The kit itself: another program's edit through Seed, and a load that reports failure.
TEST(PageHarness, SeedChangesTheStoreBehindThePage) {
    testsupport::PageHarness h(R"(
[HKEY_LOCAL_MACHINE\Software\Frame Test\Old]
"A"="1"
)");
    CTestPage& page = h.CreatePage<CTestPage>(kPageTemplate, 0, false, nullptr);
    EXPECT_FALSE(h.LoadResult());
    EXPECT_TRUE(h.Ui().Messages().empty()) << "the harness itself shows no start-up message";
    h.Seed(R"(
[-HKEY_LOCAL_MACHINE\Software\Frame Test\Old]
[HKEY_LOCAL_MACHINE\Software\Frame Test\New]
"B"=dword:0000002a
)");
    EXPECT_FALSE(h.KeyExists("Software\\Frame Test\\Old"));
    EXPECT_EQ(h.Export("Software\\Frame Test"),
              "[HKEY_LOCAL_MACHINE\\Software\\Frame Test]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Frame Test\\New]\n"
              "\"B\"=dword:0000002a\n");
    page.SetLoadSucceeds(true);
    EXPECT_TRUE(h.Reload());
    EXPECT_EQ(page.loads, 2);
}

}  // namespace

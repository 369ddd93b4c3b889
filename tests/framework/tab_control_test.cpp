// Tab control: wrapping into rows, hot-tracking, no focus, notifications on user clicks only,
// and the geometry a page base needs to place its pages.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <memory>
#include <set>

#include "tests/framework/test_dialogs.h"
#include "tests/support/ui_kit.h"

namespace {

using fwtest::MainLikeDialog;

const char* const kLabels[] = {"Display",
                               "Filter/Filter list",
                               "Methods",
                               "User Methods",
                               "Templates/Templates list",
                               "Upgrade Manager",
                               "Archive Manager",
                               "History Info",
                               "General/Folder Layout"};

class TabsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(main.Create(nullptr));
        tabs = &main.Item<fw::TabControl>(res::t902::kTabs);
        tabs->DeleteAllItems();
        for (int i = 0; i < 9; ++i) {
            tabs->InsertItem(i, kLabels[i]);
        }
        tabs->SetCurSel(0);
        main.show();
        uikit::ProcessEvents();
    }

    int TotalTabWidth() const {
        const QFontMetrics metrics(tabs->font());
        int total = 0;
        for (const char* label : kLabels) {
            total += metrics.horizontalAdvance(QString::fromLatin1(label));
        }
        return total;
    }

    MainLikeDialog main;
    fw::TabControl* tabs = nullptr;
};

TEST_F(TabsTest, WrapsIntoTwoRowsWhenNarrowAndOneRowWhenWide) {
    const int total = TotalTabWidth();
    // Wide: everything fits on one line.
    tabs->resize(total * 2, 300);
    EXPECT_EQ(tabs->GetRowCount(), 1);
    const int h = tabs->GetItemRect(0).height();
    EXPECT_GT(h, 0);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(tabs->GetItemRect(i).top(), 0);
        EXPECT_EQ(tabs->GetItemRect(i).height(), h);
    }
    // Narrow: a bit more than half of the tabs' width gives two rows that fill the width.
    const int narrow = total * 2 / 3;
    tabs->resize(narrow, 300);
    EXPECT_EQ(tabs->GetRowCount(), 2);
    EXPECT_EQ(tabs->GetItemRect(0).height(), h);
    int rightmost = 0;
    std::set<int> tops;
    for (int i = 0; i < 9; ++i) {
        const QRect rect = tabs->GetItemRect(i);
        EXPECT_GE(rect.left(), 0);
        EXPECT_LE(rect.right(), narrow - 1);
        rightmost = std::max(rightmost, rect.right());
        tops.insert(rect.top());
    }
    EXPECT_EQ(tops, (std::set<int>{0, h}));
    EXPECT_EQ(rightmost, narrow - 1) << "rows are stretched to the full width";
    // The selected tab's row lies next to the page area.
    EXPECT_EQ(tabs->GetItemRect(0).top(), h);
    tabs->SetCurSel(8);
    EXPECT_EQ(tabs->GetItemRect(8).top(), h);
    EXPECT_EQ(tabs->GetItemRect(0).top(), 0);
    // Very narrow: more rows, still every tab on some row.
    tabs->resize(narrow / 3, 300);
    EXPECT_GE(tabs->GetRowCount(), 3);
}

TEST_F(TabsTest, PagePlacementRuleFromRowsAndTabHeight) {
    // What the page base computes: left 3, top rows*h+3, width W-6, height H-rows*h-6.
    for (int width : {TotalTabWidth() * 2, TotalTabWidth() * 2 / 3}) {
        tabs->resize(width, 500);
        const QRect client = tabs->ClientRect();
        const int rows = tabs->GetRowCount();
        const int h = tabs->GetItemRect(0).height();
        const QRect page(3, rows * h + 3, client.width() - 6, client.height() - rows * h - 6);
        EXPECT_EQ(client, QRect(0, 0, width, 500));
        EXPECT_EQ(page.top(), rows * h + 3);
        EXPECT_EQ(page.bottom(), 500 - 4);
        // The page area begins below the last row of tabs.
        for (int i = 0; i < 9; ++i) {
            EXPECT_LT(tabs->GetItemRect(i).bottom(), page.top());
        }
    }
}

TEST_F(TabsTest, ProgrammaticSelectionDoesNotNotifyAndClicksDo) {
    EXPECT_EQ(tabs->SetCurSel(3), 0);
    EXPECT_EQ(tabs->GetCurSel(), 3);
    EXPECT_EQ(tabs->SetCurSel(42), -1);
    EXPECT_EQ(tabs->GetCurSel(), 3);
    EXPECT_TRUE(main.log.empty());
    uikit::ClickTab(main, res::t902::kTabs, 7);
    EXPECT_EQ(tabs->GetCurSel(), 7);
    EXPECT_EQ(main.log, (std::vector<std::string>{"tab:7"}));
    uikit::ClickTab(main, res::t902::kTabs, 7);  // the selected tab: nothing changes
    EXPECT_EQ(main.log.size(), 1u);
    EXPECT_EQ(tabs->GetText(), "History Info");
}

TEST_F(TabsTest, NeverTakesTheFocus) {
    auto* edit = new QLineEdit(&main);
    edit->move(5, 400);
    edit->show();
    main.activateWindow();
    edit->setFocus();
    uikit::ProcessEvents();
    EXPECT_EQ(tabs->focusPolicy(), Qt::NoFocus);
    uikit::ClickTab(main, res::t902::kTabs, 2);
    EXPECT_FALSE(tabs->hasFocus());
    EXPECT_EQ(tabs->GetCurSel(), 2);
}

TEST_F(TabsTest, HotTracksTheTabUnderTheMouse) {
    tabs->resize(TotalTabWidth() * 2, 300);
    EXPECT_EQ(tabs->HotItem(), -1);
    QTest::mouseMove(tabs, tabs->GetItemRect(4).center());
    EXPECT_EQ(tabs->HotItem(), 4);
    QTest::mouseMove(tabs, tabs->GetItemRect(1).center());
    EXPECT_EQ(tabs->HotItem(), 1);
    QTest::mouseMove(tabs, QPoint(5, 250));
    EXPECT_EQ(tabs->HotItem(), -1);
    EXPECT_EQ(tabs->HitTest(tabs->GetItemRect(6).center()), 6);
}

TEST_F(TabsTest, InsertAndDeleteKeepTheSelectionOnItsTab) {
    tabs->SetCurSel(2);
    tabs->InsertItem(0, "New");
    EXPECT_EQ(tabs->GetCurSel(), 3);
    EXPECT_EQ(tabs->GetItemText(3), "Methods");
    EXPECT_TRUE(tabs->DeleteItem(0));
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_TRUE(tabs->DeleteItem(2));
    EXPECT_EQ(tabs->GetCurSel(), -1);
    EXPECT_FALSE(tabs->DeleteItem(20));
    EXPECT_EQ(tabs->GetItemCount(), 8);
}

}  // namespace

// Dialogs: control lookup, message tables (user actions only), data exchange, Enter and Esc,
// the command scope, menus.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenuBar>
#include <memory>

#include "framework/wait_cursor.h"
#include "tests/framework/page_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t900;
using fwtest::MainLikeDialog;
using fwtest::PageDialog;

class PageTest : public fwtest::PageFixture {};

TEST(DialogCreation, ChildIsCreatedHiddenAndInitialised) {
    QWidget window;
    PageDialog page;
    EXPECT_FALSE(page.IsCreated());
    ASSERT_TRUE(page.Create(&window));
    EXPECT_TRUE(page.IsCreated());
    EXPECT_TRUE(page.initRan);
    EXPECT_EQ(page.parentWidget(), &window);
    EXPECT_FALSE(page.isWindow());
    EXPECT_TRUE(page.isHidden());
    EXPECT_FALSE(page.Create(&window)) << "a window is created once";
}

TEST_F(PageTest, ControlsAreFoundByIdAndKind) {
    EXPECT_NE(page->Find<fw::ListBox>(kSortedList), nullptr);
    EXPECT_NE(page->Find<fw::ListBox>(kCheckList), nullptr) << "a check list is a list box";
    EXPECT_NE(page->Find<fw::CheckListBox>(kCheckList), nullptr);
    EXPECT_EQ(page->Find<fw::CheckListBox>(kSortedList), nullptr);
    EXPECT_EQ(page->Find<fw::Edit>(kSortedList), nullptr);
    EXPECT_EQ(page->Find<fw::Edit>(4242), nullptr);
    EXPECT_EQ(page->FindControl(fw::kNoId), nullptr);
    EXPECT_NE(page->Find<fw::ComboBox>(kCombo), nullptr);
    EXPECT_NE(page->Find<fw::TreeView>(kTree), nullptr);
    EXPECT_NE(page->Find<fw::ListView>(kReport), nullptr);
    EXPECT_NE(page->Find<fw::UpDown>(kUpDown), nullptr);
    EXPECT_NE(page->Find<fw::CheckBox>(kCheck), nullptr);
    EXPECT_NE(page->Find<fw::Button>(kApply), nullptr);
    EXPECT_NE(page->Find<fw::GroupBox>(kGroup), nullptr);
    EXPECT_NE(page->Find<fw::Label>(kCaption), nullptr);
    EXPECT_EQ(page->Item<fw::Edit>(kTextEdit).Id(), kTextEdit);
    EXPECT_THROW(page->Item<fw::Edit>(kSortedList), std::logic_error);
    EXPECT_THROW(page->Item<fw::Button>(4242), std::logic_error);
    const std::vector<int> ids = page->ControlIds();
    EXPECT_EQ(ids.front(), kGroup);
    EXPECT_EQ(ids.back(), kApply);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), fw::kNoId), 0);
}

TEST_F(PageTest, HandlersRunForUserActionsOnly) {
    auto& sorted = page->Item<fw::ListBox>(kSortedList);
    auto& plain = page->Item<fw::ListBox>(kPlainList);
    for (const char* text : {"Admin", "DEFAULT", "Demo"}) {
        sorted.AddString(text);
        plain.AddString(text);
    }
    // Everything the program does: no handler.
    sorted.SetCurSel(1);
    sorted.SelectString(-1, "dem");
    plain.SetCurSel(2);
    plain.DeleteString(2);
    page->Item<fw::CheckBox>(kCheck).SetCheck(1);
    page->SetItemText(kTextEdit, "x");
    page->SetItemText(kNumberEdit, "12");
    page->Item<fw::CheckListBox>(kCheckList).AddString("a");
    page->Item<fw::CheckListBox>(kCheckList).SetCheck(0, true);
    EXPECT_TRUE(page->log.empty()) << page->log.front();

    // The same through the user's hands.
    uikit::SelectRow(*page, kSortedList, 0);
    uikit::SelectRow(*page, kPlainList, 1);
    uikit::Click(*page, kCheck);
    uikit::Click(*page, kAddButton);
    uikit::Click(*page, kApply);
    uikit::DoubleClickRow(*page, kPlainList, 0);
    EXPECT_EQ(page->log, (std::vector<std::string>{"sorted:sel", "plain:sel", "check", "add",
                                                   "apply", "plain:sel", "plain:dbl"}));
    EXPECT_EQ(page->Item<fw::CheckBox>(kCheck).GetCheck(), 0);
    // Keyboard selection is a user action too.
    page->log.clear();
    uikit::TapKey(*page, kPlainList, fw::kVkDown);
    EXPECT_EQ(plain.GetCurSel(), 1);
    EXPECT_EQ(page->log, (std::vector<std::string>{"plain:sel"}));
}

TEST_F(PageTest, CopyingFieldsIntoControlsRunsNoChangeHandler) {
    auto& plain = page->Item<fw::ListBox>(kPlainList);
    plain.AddString("a");
    plain.AddString("b");
    page->text = "hello";
    page->number = 120;
    page->signedNumber = -5;
    page->checked = true;
    page->plainIndex = 1;
    EXPECT_TRUE(page->UpdateData(false));
    EXPECT_TRUE(page->log.empty());
    EXPECT_EQ(page->GetItemText(kTextEdit), "hello");
    EXPECT_EQ(page->GetItemText(kNumberEdit), "120");
    EXPECT_EQ(page->GetItemText(kSignedEdit), "-5");
    EXPECT_EQ(page->Item<fw::CheckBox>(kCheck).GetCheck(), 1);
    EXPECT_EQ(plain.GetCurSel(), 1);

    uikit::TypeText(*page, kNumberEdit, "4294967295");
    uikit::TypeText(*page, kTextEdit, "typed");
    uikit::Click(*page, kCheck);
    uikit::SelectRow(*page, kPlainList, 0);
    page->log.clear();
    EXPECT_TRUE(page->UpdateData(true));
    EXPECT_EQ(page->number, 4294967295u);
    EXPECT_EQ(page->text, "typed");
    EXPECT_FALSE(page->checked);
    EXPECT_EQ(page->plainIndex, 0);
    EXPECT_TRUE(page->log.empty());
}

TEST_F(PageTest, BadUnsignedTextShowsTheMessageAndFailsValidation) {
    uikit::UiRecorder recorder;
    page->SetItemText(kSignedEdit, "0");
    page->number = 7;
    page->checked = false;
    for (const char* bad : {"", "abc", "-1", "12x", "4294967296", "1.5"}) {
        page->SetItemText(kNumberEdit, bad);
        page->Item<fw::CheckBox>(kCheck).SetCheck(1);
        recorder.Answer(fw::MsgAnswer::Ok);
        EXPECT_FALSE(page->UpdateData(true)) << bad;
        EXPECT_EQ(page->number, 7u) << bad;
        EXPECT_TRUE(page->checked) << "fields before the bad one are still read";
        page->checked = false;
    }
    ASSERT_EQ(recorder.Messages().size(), 6u);
    for (const uikit::ShownMessage& message : recorder.Messages()) {
        EXPECT_EQ(message.text, "Please enter a positive integer.");
        EXPECT_EQ(message.title, fw::ProgramName());
        EXPECT_EQ(message.icon, fw::MsgIcon::Exclamation);
        EXPECT_EQ(message.buttons, fw::MsgButtons::Ok);
    }
    EXPECT_TRUE(page->Item<fw::Edit>(kNumberEdit).hasFocus() || !page->window()->isActiveWindow());
    // Blanks around a number are accepted.
    page->SetItemText(kNumberEdit, " 42 ");
    EXPECT_TRUE(page->UpdateData(true));
    EXPECT_EQ(page->number, 42u);
}

TEST_F(PageTest, BadSignedTextShowsItsOwnMessage) {
    uikit::UiRecorder recorder;
    page->SetItemText(kNumberEdit, "1");
    for (const char* bad : {"", "--1", "2147483648", "x"}) {
        page->SetItemText(kSignedEdit, bad);
        recorder.Answer(fw::MsgAnswer::Ok);
        EXPECT_FALSE(page->UpdateData(true)) << bad;
    }
    EXPECT_EQ(recorder.MessageTexts(), std::vector<std::string>(4, "Please enter an integer."));
    page->SetItemText(kSignedEdit, "-2147483648");
    EXPECT_TRUE(page->UpdateData(true));
    EXPECT_EQ(page->signedNumber, -2147483648LL);
}

TEST(DataExchangeParsing, UnsignedAndSignedRules) {
    std::uint32_t u = 0;
    EXPECT_TRUE(fw::DataExchange::ParseUnsigned("0", u));
    EXPECT_EQ(u, 0u);
    EXPECT_TRUE(fw::DataExchange::ParseUnsigned("+17", u));
    EXPECT_EQ(u, 17u);
    EXPECT_FALSE(fw::DataExchange::ParseUnsigned("   ", u));
    EXPECT_FALSE(fw::DataExchange::ParseUnsigned("1 2", u));
    std::int32_t i = 0;
    EXPECT_TRUE(fw::DataExchange::ParseInt("2147483647", i));
    EXPECT_EQ(i, 2147483647);
    EXPECT_FALSE(fw::DataExchange::ParseInt("-2147483649", i));
    EXPECT_FALSE(fw::DataExchange::ParseInt("-", i));
}

TEST_F(PageTest, EnterAndEscNeverClosePageLikeDialog) {
    uikit::UiRecorder recorder;  // nothing may be shown
    for (int id : {kTextEdit, kPlainList, kCheck}) {
        uikit::TapKey(*page, id, fw::kVkReturn);
        uikit::TapKey(*page, id, fw::kVkEscape);
    }
    uikit::TapDialogKey(*page, fw::kVkReturn);
    uikit::TapDialogKey(*page, fw::kVkEscape);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(std::count(page->log.begin(), page->log.end(), "enter"), 4);
    EXPECT_EQ(std::count(page->log.begin(), page->log.end(), "esc"), 4);
    // Enter on a focused button presses that button, as on the platform.
    page->log.clear();
    uikit::TapKey(*page, kAddButton, fw::kVkReturn);
    EXPECT_EQ(page->log, (std::vector<std::string>{"add"}));
}

TEST(MainLike, EnterAndEscLeaveTheWindowOpenTheCloseBoxEndsIt) {
    uikit::UiRecorder recorder;
    MainLikeDialog dialog;
    recorder.OnModal([](fw::Dialog& running) {
        auto& main = static_cast<MainLikeDialog&>(running);
        uikit::TapDialogKey(main, fw::kVkReturn);
        uikit::TapDialogKey(main, fw::kVkEscape);
        EXPECT_FALSE(main.HasEnded());
        EXPECT_TRUE(main.isVisible());
        main.close();  // the close box
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"enter", "esc", "close"}));
    EXPECT_FALSE(dialog.isVisible());
}

TEST(MainLike, MenuCommandsAndRangesAreDispatched) {
    uikit::UiRecorder recorder;
    MainLikeDialog dialog;
    recorder.OnModal([](fw::Dialog& running) {
        auto& main = static_cast<MainLikeDialog&>(running);
        ASSERT_NE(main.MenuBar(), nullptr);
        EXPECT_EQ(main.ClientArea().top(), main.MenuBar()->height());
        uikit::ChooseMenuCommand(main, 32773);
        EXPECT_EQ(main.Item<fw::TabControl>(res::t902::kTabs).GetCurSel(), 2);
        uikit::ChooseMenuCommand(main, res::t902::kExitCommand);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"tabcommand:32773", "exit", "close"}));
}

TEST(MainLike, TabControlLiesBelowTheMenu) {
    MainLikeDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    auto& tabs = dialog.Item<fw::TabControl>(res::t902::kTabs);
    ASSERT_NE(dialog.MenuBar(), nullptr);
    EXPECT_EQ(tabs.geometry().top(), dialog.MenuBar()->sizeHint().height());
    EXPECT_EQ(dialog.ClientArea().height(), fw::MulDivRound(271, dialog.Units().y, 8));
}

TEST(CommandScope, WrapsEveryUserCommandOnceAndNestedCommandsRunInside) {
    std::vector<std::string> trace;
    fw::SetCommandScope([&trace](const fw::Command& command) {
        trace.push_back("begin");
        command();
        trace.push_back("end");
    });
    {
        uikit::UiRecorder recorder;
        MainLikeDialog dialog;
        recorder.OnModal([&trace](fw::Dialog& running) {
            uikit::ChooseMenuCommand(running, 32772);
            trace.push_back("after tab command");
            // Exit sends a close request from inside its handler: one scope for both.
            uikit::ChooseMenuCommand(running, res::t902::kExitCommand);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(dialog.log, (std::vector<std::string>{"tabcommand:32772", "exit", "close"}));
    }
    fw::SetCommandScope({});
    EXPECT_EQ(trace,
              (std::vector<std::string>{"begin", "end", "after tab command", "begin", "end"}));
    EXPECT_FALSE(fw::InCommand());
    // Without a scope commands run directly.
    bool ran = false;
    fw::RunCommand([&ran] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST_F(PageTest, CommandScopeSurroundsControlHandlers) {
    int scopes = 0;
    bool insideDuringHandler = false;
    fw::SetCommandScope([&](const fw::Command& command) {
        ++scopes;
        command();
    });
    uikit::Click(*page, kAddButton);
    insideDuringHandler = !page->log.empty();
    page->SetItemText(kTextEdit, "no command");
    fw::SetCommandScope({});
    EXPECT_TRUE(insideDuringHandler);
    EXPECT_EQ(scopes, 1);
    EXPECT_TRUE(page->SendCommand(kApply));
    EXPECT_EQ(page->log.back(), "apply");
    EXPECT_FALSE(page->SendCommand(4242));
}

}  // namespace

namespace {

// A class that maps one id itself and inherits the rest from its base's table.
class DerivedPage : public PageDialog {
  public:
    static const fw::MessageTableBase& GetClassMessageTable() {
        static const auto table = fw::MessageTable<DerivedPage>(&PageDialog::GetClassMessageTable())
                                      .OnClicked(kApply, &DerivedPage::OwnApply)
                                      .OnCommandRange(2000, 2009, &DerivedPage::Ranged);
        return table;
    }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override { return GetClassMessageTable(); }

  private:
    void OwnApply() { log.push_back("derived apply"); }
    void Ranged(int id) { log.push_back("range " + std::to_string(id)); }
};

TEST(MessageTables, DerivedEntriesComeFirstAndBaseEntriesAreInherited) {
    QWidget window;
    DerivedPage page;
    ASSERT_TRUE(page.Create(&window));
    window.show();
    page.show();
    uikit::Click(page, kApply);
    uikit::Click(page, kAddButton);
    EXPECT_TRUE(page.SendCommand(2000));
    EXPECT_TRUE(page.SendCommand(2009));
    EXPECT_FALSE(page.SendCommand(2010));
    EXPECT_EQ(page.log,
              (std::vector<std::string>{"derived apply", "add", "range 2000", "range 2009"}));
    EXPECT_TRUE(DerivedPage::GetClassMessageTable().Handles(kAddButton, fw::Notify::Clicked));
    EXPECT_FALSE(DerivedPage::GetClassMessageTable().Handles(kAddButton, fw::Notify::SelChange));
    EXPECT_FALSE(PageDialog::GetClassMessageTable().Handles(2005, fw::Notify::Clicked));
}

}  // namespace

namespace {

TEST(WaitCursor, NestsAndEndsOnceEachScope) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        fw::WaitCursor outer;
        {
            fw::WaitCursor inner;
            inner.Restore();
            inner.Restore();  // and once more by the destructor: still one restore in all
        }
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << "the outer scope still waits";
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_TRUE(fw::WaitCursor::IsShown());
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(fw::WaitCursor::IsShown());
}

}  // namespace

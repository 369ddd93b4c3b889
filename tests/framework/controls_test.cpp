// Controls: list box strings and search, check list rows, combo boxes, edits, tree, list view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "tests/framework/page_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t900;
using fwtest::PageDialog;

class ControlsTest : public fwtest::PageFixture {};

TEST_F(ControlsTest, SortedListBoxSortsWithoutRegardToCase) {
    auto& list = page->Item<fw::ListBox>(kSortedList);
    for (const char* text : {"delta", "Bravo", "alpha", "Charlie", "ALPHA2", "bravo"}) {
        list.AddString(text);
    }
    const std::vector<std::string> expected{"alpha", "ALPHA2",  "Bravo",
                                            "bravo", "Charlie", "delta"};
    EXPECT_EQ(uikit::Rows(*page, kSortedList), expected);
    // The returned row is where the string went.
    EXPECT_EQ(list.AddString("Beta"), 2);
    // Unsorted lists keep the order of insertion; InsertString never sorts.
    auto& plain = page->Item<fw::ListBox>(kPlainList);
    plain.AddString("z");
    plain.AddString("a");
    EXPECT_EQ(plain.InsertString(1, "m"), 1);
    EXPECT_EQ(plain.InsertString(-1, "end"), 3);
    EXPECT_EQ(uikit::Rows(*page, kPlainList), (std::vector<std::string>{"z", "m", "a", "end"}));

    // A fixed table: in its order or sorted, as the list is, with the first row selected.
    static constexpr std::array<std::string_view, 3> kTable = {"Pear", "apple", "Fig"};
    plain.ResetContent();
    plain.AddTable(kTable);
    EXPECT_EQ(uikit::Rows(*page, kPlainList), (std::vector<std::string>{"Pear", "apple", "Fig"}));
    EXPECT_EQ(plain.GetCurSel(), 0);
    list.ResetContent();
    list.AddTable(kTable);
    EXPECT_EQ(uikit::Rows(*page, kSortedList), (std::vector<std::string>{"apple", "Fig", "Pear"}));
    EXPECT_EQ(list.GetText(list.GetCurSel()), "apple");
}

TEST_F(ControlsTest, ListBoxSearchIgnoresCaseAndWrapsAfterTheStartRow) {
    auto& list = page->Item<fw::ListBox>(kPlainList);
    for (const char* text : {"Admin", "DEFAULT", "Demo", "Expert", "User", "default"}) {
        list.AddString(text);
    }
    EXPECT_EQ(list.FindStringExact(-1, "default"), 1);
    EXPECT_EQ(list.FindStringExact(1, "default"), 5);  // starts after row 1
    EXPECT_EQ(list.FindStringExact(5, "DEFAULT"), 1);  // wraps to the start
    EXPECT_EQ(list.FindStringExact(-1, "Def"), -1);    // whole text only
    EXPECT_EQ(list.FindString(-1, "de"), 1);           // prefix
    EXPECT_EQ(list.FindString(1, "DE"), 2);
    EXPECT_EQ(list.FindString(2, "de"), 5);
    EXPECT_EQ(list.FindString(5, "de"), 1);
    EXPECT_EQ(list.FindString(3, "ex"), 3);  // the start row itself is searched last
    EXPECT_EQ(list.FindString(-1, ""), 0);   // an empty prefix matches the first row searched
    EXPECT_EQ(list.FindString(-1, "x"), -1);
    EXPECT_EQ(list.FindString(99, "a"), 0);  // a start outside the list searches everything
    EXPECT_EQ(list.SelectString(-1, "us"), 4);
    EXPECT_EQ(list.GetCurSel(), 4);
    EXPECT_EQ(list.SelectString(-1, "nothing"), -1);
    EXPECT_EQ(list.GetCurSel(), 4);  // unchanged when nothing matches
}

TEST_F(ControlsTest, ListBoxSelectionDeletionAndItemData) {
    auto& list = page->Item<fw::ListBox>(kPlainList);
    EXPECT_EQ(list.GetCurSel(), -1);
    list.AddString("a");
    list.AddString("b");
    list.AddString("c");
    EXPECT_EQ(list.GetCurSel(), -1);  // adding selects nothing
    EXPECT_TRUE(list.SetItemData(1, 0xFFFFFFFFu));
    EXPECT_EQ(list.GetItemData(1), 0xFFFFFFFFu);
    EXPECT_EQ(list.GetItemData(0), 0u);
    EXPECT_FALSE(list.SetItemData(7, 1));
    EXPECT_EQ(list.SetCurSel(2), 2);
    EXPECT_EQ(list.GetText(), "c");
    EXPECT_EQ(list.SetCurSel(5), -1);
    EXPECT_EQ(list.GetCurSel(), -1);
    list.SetCurSel(1);
    EXPECT_EQ(list.DeleteString(0), 2);
    EXPECT_EQ(list.GetCurSel(), 0);  // the selected row moved up with its text
    EXPECT_EQ(list.GetText(0), "b");
    EXPECT_EQ(list.GetItemData(0), 0xFFFFFFFFu);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(list.GetCurSel(), -1);  // deleting the selected row leaves nothing selected
    EXPECT_EQ(list.DeleteString(3), -1);
    EXPECT_EQ(list.GetText(9), "");
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(page->log.empty()) << "programmatic changes must not notify";
}

TEST_F(ControlsTest, EveryClickOnAListReportsOnceAndBelowTheRowsMeansTheLastRow) {
    auto& list = page->Item<fw::ListBox>(kPlainList);
    for (const char* text : {"a", "b", "c"}) {
        list.AddString(text);
    }
    uikit::SelectRow(*page, kPlainList, 1);
    uikit::SelectRow(*page, kPlainList, 1);  // the selected row again: still reported
    EXPECT_EQ(page->log, (std::vector<std::string>{"plain:sel", "plain:sel"}));
    page->log.clear();
    // Ctrl does not deselect in a single-selection list.
    const QRect row1 = list.visualItemRect(list.item(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, row1.center());
    EXPECT_EQ(list.GetCurSel(), 1);
    // The empty space under the rows stands for the last row.
    const QRect last = list.visualItemRect(list.item(2));
    ASSERT_LT(last.bottom() + 5, list.viewport()->height());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(last.center().x(), last.bottom() + 5));
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(page->log, (std::vector<std::string>{"plain:sel", "plain:sel"}));
}

TEST_F(ControlsTest, CheckListRowsCarryCheckMarkAndValue) {
    auto& list = page->Item<fw::CheckListBox>(kCheckList);
    for (const char* text : {"ARCHIV", "CD", "FD", "HD", "VLX", "NET"}) {
        list.AddString(text);
    }
    list.SetItemData(4, 0x80000000u);
    EXPECT_TRUE(list.SetCheck(4, true));
    EXPECT_TRUE(list.SetCheck(1, true));
    EXPECT_TRUE(list.SetCheck(1, false));
    EXPECT_FALSE(list.SetCheck(6, true));
    std::vector<bool> checks;
    for (int row = 0; row < list.GetCount(); ++row) {
        checks.push_back(list.GetCheck(row));
    }
    EXPECT_EQ(checks, (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_EQ(uikit::Checks(*page, kCheckList), checks);
    EXPECT_EQ(list.GetItemData(4), 0x80000000u);
    EXPECT_TRUE(page->log.empty());

    // The user's click on a mark selects the row first, then reports the toggle.
    list.SetCurSel(0);
    uikit::ToggleCheck(*page, kCheckList, 2);
    EXPECT_TRUE(list.GetCheck(2));
    EXPECT_EQ(list.GetCurSel(), 2);
    ASSERT_EQ(page->log.size(), 2u);
    EXPECT_EQ(page->log[0], "checklist:sel");
    EXPECT_EQ(page->log[1], "checklist:toggle:2:sel2:on");
    uikit::ToggleCheck(*page, kCheckList, 2);
    EXPECT_FALSE(list.GetCheck(2));
    EXPECT_EQ(page->log.back(), "checklist:toggle:2:sel2:off");
    // Space toggles the selected row's mark from the keyboard.
    uikit::TapKey(*page, kCheckList, fw::kVkSpace);
    EXPECT_TRUE(list.GetCheck(2));
    EXPECT_EQ(page->log.back(), "checklist:toggle:2:sel2:on");
}

TEST_F(ControlsTest, ComboBoxStringsAndNotifications) {
    auto& sorted = page->Item<fw::ComboBox>(kSortedCombo);
    for (const char* text : {"size", "Label", "comment", "Attributes"}) {
        sorted.AddString(text);
    }
    EXPECT_EQ(uikit::Rows(*page, kSortedCombo),
              (std::vector<std::string>{"Attributes", "comment", "Label", "size"}));
    EXPECT_EQ(sorted.GetCurSel(), -1);  // a drop-down list selects nothing by itself
    EXPECT_EQ(sorted.SelectString(-1, ""), 0);
    EXPECT_EQ(sorted.SelectString(-1, "LAB"), 2);
    EXPECT_EQ(sorted.GetText(), "Label");
    EXPECT_EQ(sorted.FindStringExact(-1, "COMMENT"), 1);
    EXPECT_EQ(sorted.DeleteString(2), 3);
    EXPECT_EQ(sorted.GetCurSel(), -1);
    EXPECT_TRUE(page->log.empty());

    auto& combo = page->Item<fw::ComboBox>(kCombo);
    combo.AddString("one");
    combo.AddString("two");
    combo.AddString("three");
    combo.SetCurSel(0);
    EXPECT_TRUE(page->log.empty());
    uikit::ChooseComboEntry(*page, kCombo, 2);
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(page->log, (std::vector<std::string>{"combo:sel", "combo:accept:2"}));
    page->log.clear();
    uikit::ChooseComboEntry(*page, kCombo, 2);  // choosing the same entry is still accepted
    EXPECT_EQ(page->log, (std::vector<std::string>{"combo:accept:2"}));
}

TEST_F(ControlsTest, DigitsOnlyEditAndLengthLimit) {
    auto& number = page->Item<fw::Edit>(kNumberEdit);
    uikit::TypeText(*page, kNumberEdit, "1a2-3 4");
    EXPECT_EQ(number.GetText(), "1234");
    // The program may show anything; the rule binds typing only.
    number.SetText("12x");
    EXPECT_EQ(number.GetText(), "12x");

    auto& text = page->Item<fw::Edit>(kTextEdit);
    text.SetLimitText(5);
    uikit::TypeText(*page, kTextEdit, "abcdefgh");
    EXPECT_EQ(text.GetText(), "abcde");
    // Longer text set by the program is kept whole; the user can shorten but not lengthen it.
    const std::string stored(120, 'x');
    text.SetText(stored);
    EXPECT_EQ(text.GetText(), stored);
    uikit::AppendText(*page, kTextEdit, "y");
    EXPECT_EQ(text.GetText(), stored);
    text.setFocus();
    QTest::keyClick(&text, Qt::Key_End);
    QTest::keyClick(&text, Qt::Key_Backspace);
    EXPECT_EQ(text.GetText(), std::string(119, 'x'));
    // Pasting more than fits keeps what fits.
    text.SetText("ab");
    text.setCursorPosition(2);
    text.insert("cdefgh");
    EXPECT_EQ(text.GetText(), "abcde");

    text.SetReadOnly(true);
    uikit::AppendText(*page, kTextEdit, "z");
    EXPECT_EQ(text.GetText(), "abcde");
}

// What a page shows from its start: an edit's text, and the selected row of a list that has not
// the focus drawn as when it has (as the platform's list boxes draw it). Under Wine's windows
// platform the dialog font fell back to a math font, whose glyph boxes made the edit centre its
// text out of sight, and the palette drew an unfocused selection in the window colour.
TEST_F(ControlsTest, EditTextAndAnUnfocusedSelectionAreDrawn) {
    auto& edit = page->Item<fw::Edit>(kNumberEdit);
    edit.SetText("");
    const QImage empty = edit.grab().toImage();
    edit.SetText("160");
    EXPECT_TRUE(edit.grab().toImage() != empty) << "the edit does not show its text";

    auto& list = page->Item<fw::ListBox>(kPlainList);
    list.ResetContent();
    list.AddString("Label");
    list.AddString("Extension");
    list.SetCurSel(0);
    window->activateWindow();
    uikit::ProcessEvents();
    if (!window->isActiveWindow()) {
        QApplication::setActiveWindow(window.get());  // a platform without a desktop
    }
    page->FocusItem(kPlainList);
    uikit::ProcessEvents();
    if (!list.hasFocus()) {
        GTEST_SKIP() << "the platform gives no window the focus";
    }
    // Past the row's text, inside any focus frame.
    const QRect row = list.visualItemRect(list.item(0));
    const QPoint inSelected(row.right() - row.width() / 4, row.center().y());
    const QPoint inOther = inSelected + QPoint(0, row.height());
    const QRgb focused = list.viewport()->grab().toImage().pixel(inSelected);
    page->FocusItem(kNumberEdit);
    uikit::ProcessEvents();
    ASSERT_FALSE(list.hasFocus());
    const QImage unfocused = list.viewport()->grab().toImage();
    // Some styles shade a focused row a trifle differently.
    const auto near = [focused](QRgb colour) {
        return std::abs(qRed(colour) - qRed(focused)) + std::abs(qGreen(colour) - qGreen(focused)) +
                   std::abs(qBlue(colour) - qBlue(focused)) <=
               24;
    };
    EXPECT_TRUE(near(unfocused.pixel(inSelected))) << "the selection looks lost without the focus";
    EXPECT_FALSE(near(unfocused.pixel(inOther)));
}

TEST_F(ControlsTest, EditReportsOnlyTheUsersChanges) {
    auto& text = page->Item<fw::Edit>(kTextEdit);
    text.SetText("program");
    page->SetItemText(kTextEdit, "again");
    EXPECT_TRUE(page->log.empty());
    // Text the program puts in shows from its start, however long it is.
    EXPECT_EQ(text.cursorPosition(), 0);
    uikit::TypeText(*page, kTextEdit, "ab");
    EXPECT_EQ(text.GetText(), "ab");
    ASSERT_FALSE(page->log.empty());
    for (const std::string& entry : page->log) {
        EXPECT_EQ(entry, "text:text");
    }
}

TEST_F(ControlsTest, EditSelectionPlacesTheCaretWithoutNotifying) {
    auto& text = page->Item<fw::Edit>(kTextEdit);
    text.SetText("abcdef");
    text.SetSel(2, 2);
    EXPECT_EQ(text.cursorPosition(), 2);
    EXPECT_FALSE(text.hasSelectedText());
    text.SetSel(1, 4);
    EXPECT_EQ(text.selectedText(), QStringLiteral("bcd"));
    EXPECT_EQ(text.cursorPosition(), 4);
    text.SetSel(5, 3);  // backwards: the caret goes to the second position
    EXPECT_EQ(text.selectedText(), QStringLiteral("de"));
    EXPECT_EQ(text.cursorPosition(), 3);
    text.SetSel(-1, 99);
    EXPECT_EQ(text.selectedText(), QStringLiteral("abcdef"));
    EXPECT_TRUE(page->log.empty());
    // Typing goes on at the caret.
    text.SetSel(3, 3);
    QTest::keyClick(&text, Qt::Key_X);
    EXPECT_EQ(text.GetText(), "abcxdef");
}

TEST_F(ControlsTest, TreeWithCheckBoxesAndItemData) {
    auto& tree = page->Item<fw::TreeView>(kTree);
    EXPECT_TRUE(tree.HasCheckBoxes());
    const fw::TreeItem root = tree.InsertItem("vlx:", fw::kTreeRoot, 7);
    const fw::TreeItem r1 = tree.InsertItem("r1", root);
    const fw::TreeItem program = tree.InsertItem("program", r1, 1);
    const fw::TreeItem r2 = tree.InsertItem("r2", root);
    const fw::TreeItem first = tree.InsertItemAfter("r0", root, fw::kTreeRoot);
    EXPECT_EQ(tree.GetCount(), 5);
    EXPECT_EQ(tree.GetRootItem(), root);
    EXPECT_EQ(tree.GetChildItem(root), first);
    EXPECT_EQ(tree.GetNextSibling(first), r1);
    EXPECT_EQ(tree.GetNextSibling(r1), r2);
    EXPECT_FALSE(tree.GetNextSibling(r2));
    EXPECT_EQ(tree.GetPrevSibling(r1), first);
    EXPECT_EQ(tree.GetParentItem(program), r1);
    EXPECT_FALSE(tree.GetParentItem(root));
    EXPECT_TRUE(tree.ItemHasChildren(r1));
    EXPECT_FALSE(tree.ItemHasChildren(program));
    EXPECT_EQ(tree.GetItemData(root), 7u);
    EXPECT_EQ(tree.GetItemData(program), 1u);
    EXPECT_TRUE(tree.SetCheck(program, true));
    EXPECT_TRUE(tree.GetCheck(program));
    EXPECT_FALSE(tree.GetCheck(r1));
    EXPECT_TRUE(tree.Expand(root));
    EXPECT_TRUE(tree.IsExpanded(root));
    tree.Expand(root, false);
    tree.ExpandAll();
    EXPECT_TRUE(tree.IsExpanded(root));
    EXPECT_TRUE(tree.IsExpanded(r1));
    EXPECT_TRUE(tree.SelectItem(r2));
    EXPECT_EQ(tree.GetSelectedItem(), r2);
    EXPECT_TRUE(page->log.empty());

    uikit::SelectTreeItem(*page, kTree, program);
    EXPECT_EQ(tree.GetSelectedItem(), program);
    EXPECT_EQ(page->log, (std::vector<std::string>{"tree:sel:program"}));
    page->log.clear();
    uikit::SetTreeCheck(*page, kTree, r1, true);
    EXPECT_TRUE(tree.GetCheck(r1));
    // Clicking a check box toggles it without selecting its item.
    EXPECT_EQ(tree.GetSelectedItem(), program);
    EXPECT_EQ(page->log, (std::vector<std::string>{"tree:check:r1:on"}));
    uikit::SetTreeCheck(*page, kTree, r1, false);
    EXPECT_FALSE(tree.GetCheck(r1));
    EXPECT_EQ(page->log.back(), "tree:check:r1:off");
    // Space toggles the selected item's check box.
    page->log.clear();
    uikit::TapKey(*page, kTree, fw::kVkSpace);
    EXPECT_FALSE(tree.GetCheck(program));  // it was checked
    EXPECT_EQ(page->log, (std::vector<std::string>{"tree:check:program:off"}));
    tree.SetCheck(r2, true);
    EXPECT_EQ(uikit::TreePaths(*page, kTree),
              (std::vector<std::string>{"vlx:", "vlx:\\r0", "vlx:\\r1", "vlx:\\r1\\program",
                                        "vlx:\\r2 [x]"}));
    EXPECT_EQ(uikit::FindTreeItem(*page, kTree, {"vlx:", "r1", "program"}), program);
    EXPECT_FALSE(uikit::FindTreeItem(*page, kTree, {"vlx:", "missing"}));

    EXPECT_TRUE(tree.DeleteItem(r1));
    EXPECT_EQ(tree.GetCount(), 3);
    tree.DeleteAllItems();
    EXPECT_EQ(tree.GetCount(), 0);
    EXPECT_FALSE(tree.GetRootItem());
}

TEST_F(ControlsTest, TreeCheckBoxesCanBeSwitchedOnLater) {
    auto& tree = page->Item<fw::TreeView>(kTree);
    tree.SetCheckBoxes(false);
    const fw::TreeItem item = tree.InsertItem("a");
    EXPECT_FALSE(tree.SetCheck(item, true));
    tree.SetCheckBoxes(true);
    EXPECT_FALSE(tree.GetCheck(item));
    EXPECT_TRUE(tree.SetCheck(item, true));
    EXPECT_TRUE(tree.GetCheck(item));
}

TEST_F(ControlsTest, ReportListViewColumnsRowsAndSelection) {
    auto& view = page->Item<fw::ListView>(kReport);
    EXPECT_EQ(view.InsertColumn(0, "Name", 160), 0);
    EXPECT_EQ(view.InsertColumn(1, "Version", 60), 1);
    EXPECT_EQ(view.GetColumnCount(), 2);
    EXPECT_EQ(view.GetColumnWidth(0), 160);
    // Sized for the controller's font (6 pixels a character): as much wider as this font is.
    EXPECT_EQ(view.columnWidth(0), fw::MulDivRound(160, page->Units().x, 6));
    EXPECT_EQ(view.columnWidth(1), fw::MulDivRound(60, page->Units().x, 6));
    EXPECT_EQ(view.InsertItem(0, "a.dll"), 0);
    EXPECT_TRUE(view.SetItemText(0, 1, "1.0"));
    EXPECT_EQ(view.InsertItem(99, "b.dll"), 1);
    EXPECT_TRUE(view.SetItemText(1, 1, "2.0"));
    EXPECT_EQ(view.InsertItem(0, "first.dll"), 0);
    EXPECT_FALSE(view.SetItemText(5, 0, "x"));
    EXPECT_EQ(view.GetItemCount(), 3);
    EXPECT_EQ(view.GetItemText(1, 0), "a.dll");
    EXPECT_EQ(view.GetItemText(1, 1), "1.0");
    EXPECT_EQ(view.GetItemText(2, 1), "2.0");
    view.SetItemData(2, 42);
    EXPECT_EQ(view.GetSelectedRow(), -1);
    EXPECT_TRUE(view.SetSelectedRow(2));
    EXPECT_EQ(view.GetSelectedRow(), 2);
    EXPECT_TRUE(page->log.empty());

    uikit::SelectRow(*page, kReport, 1);
    EXPECT_EQ(view.GetSelectedRow(), 1);
    EXPECT_EQ(page->log, (std::vector<std::string>{"report:changed:1"}));
    EXPECT_TRUE(view.DeleteItem(1));
    EXPECT_EQ(view.GetSelectedRow(), -1);
    EXPECT_EQ(view.GetItemData(1), 42u);
    view.DeleteAllItems();
    EXPECT_EQ(view.GetItemCount(), 0);
    EXPECT_EQ(view.GetColumnCount(), 2);
}

TEST_F(ControlsTest, UpDownRequestsMinusOneUpAndPlusOneDown) {
    uikit::ClickUpDown(*page, kUpDown, true);
    uikit::ClickUpDown(*page, kUpDown, false);
    EXPECT_EQ(page->log, (std::vector<std::string>{"updown:-1", "updown:1"}));
}

TEST_F(ControlsTest, LabelsGroupBoxesAndButtonsHaveSettableCaptions) {
    page->SetItemText(kGroup, "Properties for level: Admin ");
    EXPECT_EQ(page->GetItemText(kGroup), "Properties for level: Admin ");
    page->SetItemText(kCaption, "Filters for level: User");
    EXPECT_EQ(page->GetItemText(kCaption), "Filters for level: User");
    page->SetItemText(kAddButton, "&Remove");
    EXPECT_EQ(page->GetItemText(kAddButton), "&Remove");
    EXPECT_EQ(page->GetItemText(kCheck), "Sort &descending");
    EXPECT_EQ(page->GetItemText(4242), "");
}

TEST_F(ControlsTest, SunkenLabelsShowOneFramedLine) {
    fw::Label plain(page.get(), page.get(), fw::kNoId, "Static");
    fw::Label status(page.get(), page.get(), fw::kNoId, "Static", fw::kSunken);
    EXPECT_EQ(plain.frameShape(), QFrame::NoFrame);
    EXPECT_TRUE(plain.wordWrap());
    EXPECT_EQ(status.frameShape(), QFrame::Panel);
    EXPECT_EQ(status.frameShadow(), QFrame::Sunken);
    EXPECT_FALSE(status.wordWrap());
    status.SetText("Item condition: Item is a DAT/SRC file ");
    EXPECT_EQ(status.GetText(), "Item condition: Item is a DAT/SRC file ");
}

TEST_F(ControlsTest, TextSurvivesAsBytes) {
    // 8-bit texts from the store come back byte for byte.
    std::string bytes =
        "Gr\xfc\xdf"
        "e \xe9t\xe9 \xa7";
    page->Item<fw::ListBox>(kPlainList).AddString(bytes);
    EXPECT_EQ(page->Item<fw::ListBox>(kPlainList).GetText(0), bytes);
    page->SetItemText(kTextEdit, bytes);
    EXPECT_EQ(page->GetItemText(kTextEdit), bytes);
}

TEST_F(ControlsTest, WindowsCodePageTextIsShownAndTypedAsTheUserSeesIt) {
    const QString euro = QString::fromUtf8("\u20ac");
    // A stored 0x80 shows as the euro sign, in lists and edits alike.
    auto& list = page->Item<fw::ListBox>(kPlainList);
    list.AddString("5 \x80 \x84quoted\x93");
    EXPECT_EQ(list.item(0)->text(), QString::fromUtf8("5 \u20ac \u201equoted\u201c"));
    auto& text = page->Item<fw::Edit>(kTextEdit);
    text.SetText("\x80\x99");
    EXPECT_EQ(text.text(), euro + QString::fromUtf8("\u2122"));
    // What the user types reads back as the code page's bytes; what it has no byte for as '?'.
    text.SetText("");
    uikit::TypeCharacters(*page, kTextEdit, euro + QString::fromUtf8("1 \u0160\u2013\u017e\u03a9"));
    EXPECT_EQ(text.text(), euro + QString::fromUtf8("1 \u0160\u2013\u017e\u03a9"));
    EXPECT_EQ(text.GetText(),
              "\x80"
              "1 \x8a\x96\x9e?");
    // The test kit types the program's bytes as the characters they stand for.
    uikit::TypeText(*page, kTextEdit, "\x80");
    EXPECT_EQ(text.GetText(), "\x80");
    EXPECT_EQ(text.text(), euro);
}

// A list with a horizontal scroll bar shows every row whole, however the rows vary in length and
// in whatever order they come, and so does a check list.
TEST(ListBoxScrolling, RowsOfAHorizontallyScrolledListAreNeverCut) {
    const fw::DialogTemplate tmpl{
        0,
        "",
        200,
        100,
        "MS Sans Serif",
        8,
        fw::WindowKind::Popup,
        fw::kDialogStyleNone,
        0,
        {{1, fw::ControlKind::ListBox, "", 5, 5, 80, 40, fw::kHorizontalScroll},
         {2, fw::ControlKind::CheckListBox, "", 5, 50, 80, 40, fw::kHorizontalScroll}}};
    fw::Dialog dialog;
    ASSERT_TRUE(dialog.CreateFromTemplate(tmpl, nullptr));
    dialog.show();
    for (const int id : {1, 2}) {
        auto& list = dialog.Item<fw::ListBox>(id);
        const std::vector<std::string> rows = {"short", std::string(60, 'w'), "mid size row"};
        for (int round = 0; round < 2; ++round) {
            list.ResetContent();
            for (const std::string& row : rows) {
                list.AddString(row);
            }
            list.SetHorizontalExtent(400);
            uikit::ProcessEvents();
            const QRect longest = list.visualItemRect(list.item(1));
            EXPECT_GE(longest.width(), list.fontMetrics().horizontalAdvance(list.item(1)->text()))
                << id;
            EXPECT_GT(list.horizontalScrollBar()->maximum(), 0) << id;
        }
    }
}

}  // namespace

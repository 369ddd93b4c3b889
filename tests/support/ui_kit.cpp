#include "tests/support/ui_kit.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>

namespace uikit {
namespace {

template <class T>
T* Need(fw::Dialog& dialog, int id, const char* kind) {
    T* control = dialog.Find<T>(id);
    if (control == nullptr) {
        ADD_FAILURE() << "dialog " << dialog.TemplateNumber() << " has no " << kind << " with id "
                      << id;
    }
    return control;
}

// Widgets must be laid out and shown for clicks to reach the right place.
void MakeReady(QWidget* widget) {
    QWidget* window = widget->window();
    if (!window->isVisible()) {
        window->show();
    }
    QCoreApplication::processEvents();
}

// A string list that has `row`, made ready for clicks; null (and the test failed) otherwise.
template <class T>
T* NeedRow(fw::Dialog& dialog, int id, int row, const char* kind) {
    T* list = Need<T>(dialog, id, kind);
    if (list == nullptr) {
        return nullptr;
    }
    if (row < 0 || row >= list->GetCount()) {
        ADD_FAILURE() << kind << " " << id << " has no row " << row;
        return nullptr;
    }
    MakeReady(list);
    return list;
}

void ClickAt(QWidget* widget, const QPoint& point) {
    MakeReady(widget);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
}

QPoint RowPoint(QAbstractItemView* view, const QModelIndex& index) {
    view->scrollTo(index);
    const QRect rect = view->visualRect(index);
    // Right of any check mark or indent, inside the text.
    return QPoint(rect.left() + std::min(rect.width() - 2, rect.width() * 2 / 3),
                  rect.center().y());
}

int KeyOf(unsigned virtualKey) {
    const int key = fw::QtKeyFromVirtualKey(virtualKey);
    if (key == 0) {
        ADD_FAILURE() << "no Qt key for virtual key " << virtualKey;
    }
    return key;
}

QWidget* KeyWidget(fw::Dialog& dialog, int id) {
    fw::Control* control = dialog.FindControl(id);
    if (control == nullptr) {
        ADD_FAILURE() << "dialog " << dialog.TemplateNumber() << " has no control " << id;
        return nullptr;
    }
    return control->Widget();
}

void TypeInto(fw::Edit& edit, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(&edit, QString(c));
        } else {
            // Qt's test keyboard knows ASCII keys only; other characters come as a key that
            // carries its text, as from a keyboard layout that has them.
            QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// The edit, shown and focused as a click leaves it; null (and the test failed) when missing.
fw::Edit* FocusEdit(fw::Dialog& dialog, int id) {
    auto* edit = Need<fw::Edit>(dialog, id, "edit");
    if (edit != nullptr) {
        MakeReady(edit);
        edit->setFocus(Qt::MouseFocusReason);
    }
    return edit;
}

// A list's row as the mouse reaches it: the view and the point inside the row's text. Trees
// count as lists only where `treesToo`. Empty (and the test failed) when there is no such row.
struct RowSpot {
    QAbstractItemView* view = nullptr;
    QPoint point;
};
std::optional<RowSpot> FindRowSpot(fw::Dialog& dialog, int id, int row, bool treesToo) {
    fw::Control* control = dialog.FindControl(id);
    auto* view = control != nullptr ? dynamic_cast<QAbstractItemView*>(control->Widget()) : nullptr;
    if (view == nullptr || (!treesToo && dynamic_cast<fw::TreeView*>(control) != nullptr)) {
        ADD_FAILURE() << "dialog " << dialog.TemplateNumber() << " has no list " << id;
        return std::nullopt;
    }
    const QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid()) {
        ADD_FAILURE() << "list " << id << " has no row " << row;
        return std::nullopt;
    }
    MakeReady(view);
    return RowSpot{view, RowPoint(view, index)};
}

// Row whose text equals `text` (see Rows), or -1.
int RowWithText(fw::Dialog& dialog, int id, const std::string& text);

// Shows a tree item: the tree ready, the item's parents expanded, the item scrolled into view.
void RevealTreeItem(fw::TreeView& tree, fw::TreeItem item) {
    MakeReady(&tree);
    for (QTreeWidgetItem* p = item.Get()->parent(); p != nullptr; p = p->parent()) {
        p->setExpanded(true);
    }
    tree.scrollToItem(item.Get());
    QCoreApplication::processEvents();
}

}  // namespace

void EnsureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "vlx_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

void ProcessEvents() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void Click(fw::Dialog& dialog, int id) {
    fw::Control* control = dialog.FindControl(id);
    auto* button = control != nullptr ? dynamic_cast<QAbstractButton*>(control->Widget()) : nullptr;
    if (button == nullptr) {
        ADD_FAILURE() << "dialog " << dialog.TemplateNumber() << " has no button or check box "
                      << id;
        return;
    }
    if (!button->isEnabled()) {
        ADD_FAILURE() << "button " << id << " is disabled";
        return;
    }
    ClickAt(button, button->rect().center());
}

void ChooseMenuCommand(fw::Dialog& dialog, int commandId) {
    QMenuBar* bar = dialog.MenuBar();
    if (bar == nullptr) {
        ADD_FAILURE() << "dialog " << dialog.TemplateNumber() << " has no menu";
        return;
    }
    for (QAction* popup : bar->actions()) {
        if (popup->menu() == nullptr) {
            continue;
        }
        for (QAction* item : popup->menu()->actions()) {
            if (item->data().isValid() && item->data().toInt() == commandId) {
                item->trigger();
                return;
            }
        }
    }
    ADD_FAILURE() << "menu has no command " << commandId;
}

void SelectRow(fw::Dialog& dialog, int id, int row) {
    if (const auto spot = FindRowSpot(dialog, id, row, false)) {
        ClickAt(spot->view->viewport(), spot->point);
    }
}

void SelectRowByText(fw::Dialog& dialog, int id, const std::string& text) {
    const int row = RowWithText(dialog, id, text);
    if (row < 0) {
        ADD_FAILURE() << "list " << id << " has no row \"" << text << "\"";
        return;
    }
    SelectRow(dialog, id, row);
}

void DoubleClickRow(fw::Dialog& dialog, int id, int row) {
    if (const auto spot = FindRowSpot(dialog, id, row, true)) {
        QTest::mouseClick(spot->view->viewport(), Qt::LeftButton, Qt::NoModifier, spot->point);
        QTest::mouseDClick(spot->view->viewport(), Qt::LeftButton, Qt::NoModifier, spot->point);
    }
}

void ToggleCheck(fw::Dialog& dialog, int id, int row) {
    auto* list = NeedRow<fw::CheckListBox>(dialog, id, row, "check list box");
    if (list == nullptr) {
        return;
    }
    list->scrollToItem(list->item(row));
    const QRect mark = list->CheckMarkRect(row);
    ClickAt(list->viewport(), mark.center());
}

std::vector<std::string> Rows(fw::Dialog& dialog, int id) {
    std::vector<std::string> rows;
    if (auto* list = dynamic_cast<fw::StringList*>(dialog.FindControl(id))) {
        for (int i = 0; i < list->GetCount(); ++i) {
            rows.push_back(list->GetText(i));
        }
    } else if (auto* view = dialog.Find<fw::ListView>(id)) {
        for (int i = 0; i < view->GetItemCount(); ++i) {
            rows.push_back(view->GetItemText(i, 0));
        }
    } else {
        ADD_FAILURE() << "dialog " << dialog.TemplateNumber() << " has no list " << id;
    }
    return rows;
}

namespace {

int RowWithText(fw::Dialog& dialog, int id, const std::string& text) {
    const std::vector<std::string> rows = Rows(dialog, id);
    const auto found = std::find(rows.begin(), rows.end(), text);
    return found != rows.end() ? static_cast<int>(found - rows.begin()) : -1;
}

}  // namespace

std::vector<bool> Checks(fw::Dialog& dialog, int id) {
    std::vector<bool> checks;
    if (auto* list = Need<fw::CheckListBox>(dialog, id, "check list box")) {
        for (int row = 0; row < list->GetCount(); ++row) {
            checks.push_back(list->GetCheck(row));
        }
    }
    return checks;
}

void ChooseComboEntry(fw::Dialog& dialog, int id, int row) {
    auto* combo = NeedRow<fw::ComboBox>(dialog, id, row, "combo box");
    if (combo == nullptr) {
        return;
    }
    // Open the list, click the entry in it: the way a user chooses.
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex index = view->model()->index(row, combo->modelColumn());
    view->scrollTo(index);
    QCoreApplication::processEvents();
    const QPoint point = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QCoreApplication::processEvents();
    if (combo->view()->isVisible()) {
        combo->hidePopup();
    }
}

void ChooseComboText(fw::Dialog& dialog, int id, const std::string& text) {
    const int row = RowWithText(dialog, id, text);
    if (row < 0) {
        ADD_FAILURE() << "combo box " << id << " has no entry \"" << text << "\"";
        return;
    }
    ChooseComboEntry(dialog, id, row);
}

void TypeText(fw::Dialog& dialog, int id, const std::string& text) {
    fw::Edit* edit = FocusEdit(dialog, id);
    if (edit == nullptr) {
        return;
    }
    if (!edit->text().isEmpty()) {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    TypeInto(*edit, fw::ToQt(text));
}

void TypeCharacters(fw::Dialog& dialog, int id, const QString& text) {
    fw::Edit* edit = FocusEdit(dialog, id);
    if (edit == nullptr) {
        return;
    }
    QTest::keyClick(edit, Qt::Key_End);
    TypeInto(*edit, text);
}

void AppendText(fw::Dialog& dialog, int id, const std::string& text) {
    fw::Edit* edit = FocusEdit(dialog, id);
    if (edit == nullptr) {
        return;
    }
    QTest::keyClick(edit, Qt::Key_End);
    TypeInto(*edit, fw::ToQt(text));
}

void PressKey(fw::Dialog& dialog, int id, unsigned virtualKey) {
    QWidget* widget = KeyWidget(dialog, id);
    const int key = KeyOf(virtualKey);
    if (widget == nullptr || key == 0) {
        return;
    }
    MakeReady(widget);
    widget->setFocus(Qt::OtherFocusReason);
    QTest::keyPress(widget, static_cast<Qt::Key>(key));
}

void ReleaseKey(fw::Dialog& dialog, int id, unsigned virtualKey) {
    QWidget* widget = KeyWidget(dialog, id);
    const int key = KeyOf(virtualKey);
    if (widget == nullptr || key == 0) {
        return;
    }
    QTest::keyRelease(widget, static_cast<Qt::Key>(key));
}

void TapKey(fw::Dialog& dialog, int id, unsigned virtualKey) {
    PressKey(dialog, id, virtualKey);
    ReleaseKey(dialog, id, virtualKey);
}

void TapDialogKey(fw::Dialog& dialog, unsigned virtualKey) {
    const int key = KeyOf(virtualKey);
    if (key == 0) {
        return;
    }
    MakeReady(&dialog);
    QTest::keyPress(&dialog, static_cast<Qt::Key>(key));
    QTest::keyRelease(&dialog, static_cast<Qt::Key>(key));
}

fw::TreeItem FindTreeItem(fw::Dialog& dialog, int id, const std::vector<std::string>& path) {
    auto* tree = Need<fw::TreeView>(dialog, id, "tree");
    if (tree == nullptr || path.empty()) {
        return {};
    }
    fw::TreeItem item = tree->GetRootItem();
    fw::TreeItem found;
    for (size_t depth = 0; depth < path.size(); ++depth) {
        found = {};
        for (; item; item = tree->GetNextSibling(item)) {
            if (tree->GetItemText(item) == path[depth]) {
                found = item;
                break;
            }
        }
        if (!found) {
            return {};
        }
        item = tree->GetChildItem(found);
    }
    return found;
}

namespace {

void CollectPaths(const fw::TreeView& tree, fw::TreeItem item, const std::string& prefix,
                  std::vector<std::string>& out) {
    for (; item; item = tree.GetNextSibling(item)) {
        const std::string path =
            prefix.empty() ? tree.GetItemText(item) : prefix + "\\" + tree.GetItemText(item);
        out.push_back(path + (tree.HasCheckBoxes() && tree.GetCheck(item) ? " [x]" : ""));
        CollectPaths(tree, tree.GetChildItem(item), path, out);
    }
}

}  // namespace

std::vector<std::string> TreePaths(fw::Dialog& dialog, int id) {
    std::vector<std::string> paths;
    if (auto* tree = Need<fw::TreeView>(dialog, id, "tree")) {
        CollectPaths(*tree, tree->GetRootItem(), "", paths);
    }
    return paths;
}

void SelectTreeItem(fw::Dialog& dialog, int id, fw::TreeItem item) {
    auto* tree = Need<fw::TreeView>(dialog, id, "tree");
    if (tree == nullptr) {
        return;
    }
    if (!item) {
        ADD_FAILURE() << "no tree item to select in " << id;
        return;
    }
    RevealTreeItem(*tree, item);
    const QRect rect = tree->visualItemRect(item.Get());
    ClickAt(tree->viewport(), QPoint(rect.right() - 2, rect.center().y()));
}

void SetTreeCheck(fw::Dialog& dialog, int id, fw::TreeItem item, bool checked) {
    auto* tree = Need<fw::TreeView>(dialog, id, "tree");
    if (tree == nullptr) {
        return;
    }
    if (!item || !tree->HasCheckBoxes()) {
        ADD_FAILURE() << "no checkable tree item in " << id;
        return;
    }
    if (tree->GetCheck(item) == checked) {
        return;
    }
    RevealTreeItem(*tree, item);
    ClickAt(tree->viewport(), tree->CheckBoxRect(item).center());
    if (tree->GetCheck(item) != checked) {
        ADD_FAILURE() << "clicking the check box of \"" << tree->GetItemText(item)
                      << "\" did not toggle it";
    }
}

void ClickUpDown(fw::Dialog& dialog, int id, bool upper) {
    auto* updown = Need<fw::UpDown>(dialog, id, "up-down control");
    if (updown == nullptr) {
        return;
    }
    QToolButton* arrow = upper ? updown->UpArrow() : updown->DownArrow();
    ClickAt(arrow, arrow->rect().center());
}

void ExpectListBoxAt(fw::Dialog& dialog, int id, const QRect& dialogUnits) {
    auto* list = Need<fw::ListBox>(dialog, id, "list box");
    if (list == nullptr) {
        return;
    }
    ASSERT_GT(list->count(), 0) << "list box " << id << " needs a row to measure";
    const QRect placed = dialog.MapDialogRect(dialogUnits).translated(0, dialog.ClientArea().top());
    const QRect actual = list->geometry();
    const int row = list->sizeHintForRow(0);
    EXPECT_EQ(actual.topLeft(), placed.topLeft()) << "list box " << id;
    EXPECT_EQ(actual.width(), placed.width()) << "list box " << id;
    EXPECT_LE(actual.height(), placed.height()) << "list box " << id;
    EXPECT_GT(actual.height(), placed.height() - row) << "list box " << id;
    EXPECT_EQ((actual.height() - 2 * list->frameWidth()) % row, 0)
        << "list box " << id << " shows part of a row";
}

void ClickTab(fw::Dialog& dialog, int id, int index) {
    auto* tabs = Need<fw::TabControl>(dialog, id, "tab control");
    if (tabs == nullptr) {
        return;
    }
    const QRect rect = tabs->GetItemRect(index);
    if (rect.isEmpty()) {
        ADD_FAILURE() << "tab control " << id << " has no tab " << index;
        return;
    }
    ClickAt(tabs, rect.center());
}

// --- UiRecorder --------------------------------------------------------------------------------

UiRecorder::UiRecorder() : previous_(fw::SetUiService(this)) {}

UiRecorder::~UiRecorder() {
    fw::SetUiService(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " queued message box answer(s) not used";
    EXPECT_TRUE(drivers_.empty()) << drivers_.size() << " queued modal driver(s) not used";
}

std::vector<std::string> UiRecorder::MessageTexts() const {
    std::vector<std::string> texts;
    for (const ShownMessage& message : messages_) {
        texts.push_back(message.text);
    }
    return texts;
}

fw::MsgAnswer UiRecorder::ShowMessage(const fw::MessageBoxRequest& request) {
    messages_.push_back(ShownMessage{request.text, request.title, request.icon, request.buttons});
    if (!answers_.empty()) {
        const fw::MsgAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (defaultAnswer_) {
        return *defaultAnswer_;
    }
    ADD_FAILURE() << "unexpected message box: \"" << request.text << "\"";
    return request.buttons == fw::MsgButtons::YesNo      ? fw::MsgAnswer::No
           : request.buttons == fw::MsgButtons::OkCancel ? fw::MsgAnswer::Cancel
                                                         : fw::MsgAnswer::Ok;
}

int UiRecorder::RunModal(fw::Dialog& dialog) {
    modalRuns_.push_back(dialog.TemplateNumber());
    if (drivers_.empty()) {
        ADD_FAILURE() << "unexpected modal dialog " << dialog.TemplateNumber();
        return fw::kIdCancel;
    }
    ModalDriver driver = std::move(drivers_.front());
    drivers_.pop_front();
    dialog.show();
    QCoreApplication::processEvents();
    driver(dialog);
    if (!dialog.HasEnded()) {
        ADD_FAILURE() << "modal dialog " << dialog.TemplateNumber()
                      << " was not ended by its test driver";
        dialog.hide();
        return fw::kIdCancel;
    }
    return dialog.Result();
}

}  // namespace uikit

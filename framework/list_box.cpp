#include "framework/list_box.h"

#include <QMouseEvent>
#include <QStyleOptionViewItem>
#include <algorithm>

#include "framework/dialog_template.h"
#include "framework/text.h"

namespace fw {

ListBox::ListBox(QWidget* parent, Dialog* owner, int id, unsigned style)
    : QListWidget(parent), Control(owner, id), StringList((style & kSorted) != 0) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one height; a list that scrolls sideways needs each row's own width, or every
    // row would be cut to the first one's.
    setUniformItemSizes((style & kHorizontalScroll) == 0);
    setHorizontalScrollBarPolicy((style & kHorizontalScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemSelectionChanged, this, &ListBox::OnSelectionChanged);
}

QListWidgetItem* ListBox::MakeItem(const std::string& text) {
    // No item data is stored until one is set: a row without reads as 0, and every role a row
    // holds costs it memory.
    return new QListWidgetItem(ToQt(text));
}

int ListBox::InsertString(int row, const std::string& text) {
    ProgrammaticChange change(*this);
    if (row < 0 || row > count()) {
        row = count();
    }
    insertItem(row, MakeItem(text));
    return row;
}

int ListBox::DeleteString(int row) {
    if (row < 0 || row >= count()) {
        return -1;
    }
    ProgrammaticChange change(*this);
    const int selected = GetCurSel();
    delete takeItem(row);
    if (selected == row) {
        clearSelection();
    }
    SyncCurrentToSelection();
    return count();
}

void ListBox::ResetContent() {
    ProgrammaticChange change(*this);
    clear();
}

int ListBox::GetCount() const {
    return count();
}

std::string ListBox::GetText(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? FromQt(it->text()) : std::string();
}

int ListBox::GetCurSel() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int ListBox::SetCurSel(int row) {
    ProgrammaticChange change(*this);
    if (row < 0 || row >= count()) {
        clearSelection();
        setCurrentItem(nullptr);
        return -1;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(row));
    return row;
}

bool ListBox::SetItemData(int row, ItemData value) {
    QListWidgetItem* it = item(row);
    if (it == nullptr) {
        return false;
    }
    ProgrammaticChange change(*this);
    it->setData(kItemDataRole, QVariant::fromValue<qulonglong>(value));
    return true;
}

ItemData ListBox::GetItemData(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? static_cast<ItemData>(it->data(kItemDataRole).toULongLong()) : 0;
}

int ListBox::WholeRowsHeight(int height) {
    int row = 0;
    {
        // A row as the list draws its own (check mark included), measured and taken out again.
        ProgrammaticChange change(*this);
        insertItem(0, MakeItem("Ag"));
        row = sizeHintForRow(0);
        delete takeItem(0);
    }
    if (row <= 0) {
        return height;
    }
    const int frame = 2 * frameWidth();
    const int rows = std::max(1, (height - frame) / row);
    return std::min(height, rows * row + frame);
}

void ListBox::SetHorizontalExtent(int pixels) {
    horizontalExtent_ = pixels < 0 ? 0 : pixels;
    // The view itself knows how wide its rows are; the extent only switches scrolling on, so the
    // range always fits the text actually shown.
    if (horizontalExtent_ > 0) {
        setUniformItemSizes(false);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
}

void ListBox::OnSelectionChanged() {
    if (InProgrammaticChange()) {
        return;
    }
    clickReported_ = true;
    ReportRow(Notify::SelChange, GetCurSel());
}

void ListBox::SyncCurrentToSelection() {
    const int selected = GetCurSel();
    if (selected >= 0) {
        selectionModel()->setCurrentIndex(model()->index(selected, 0),
                                          QItemSelectionModel::NoUpdate);
    } else {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void ListBox::initViewItemOption(QStyleOptionViewItem* option) const {
    QListWidget::initViewItemOption(option);
    // Also in a window that is not active: a disabled list still draws from its disabled colours.
    option->state |= QStyle::State_Active;
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || count() == 0) {
        QListWidget::mousePressEvent(event);
        return;
    }
    clickPending_ = true;
    clickReported_ = false;
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        const int last = count() - 1;
        if (GetCurSel() != last) {
            setCurrentRow(last, QItemSelectionModel::ClearAndSelect);  // reported as the user's
        }
        event->accept();
        return;
    }
    QMouseEvent plain(event->type(), event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(), Qt::NoModifier);
    QListWidget::mousePressEvent(&plain);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
    QMouseEvent plain(event->type(), event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(), Qt::NoModifier);
    QListWidget::mouseReleaseEvent(&plain);
    if (event->button() == Qt::LeftButton && clickPending_) {
        clickPending_ = false;
        if (!clickReported_) {
            clickReported_ = true;
            ReportRow(Notify::SelChange, GetCurSel());
        }
    }
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        ReportRow(Notify::DoubleClicked, index.row());
    }
}

}  // namespace fw

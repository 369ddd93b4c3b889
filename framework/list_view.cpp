#include "framework/list_view.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/dialog_units.h"
#include "framework/text.h"

namespace fw {
namespace {

Qt::Alignment ToQtAlign(ColumnAlign align) {
    switch (align) {
        case ColumnAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case ColumnAlign::Center:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case ColumnAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

ListView::ListView(QWidget* parent, Dialog* owner, int id, unsigned)
    : QTreeWidget(parent), Control(owner, id) {
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &ListView::OnSelectionChanged);
}

int ListView::InsertColumn(int column, const std::string& heading, int widthPixels,
                           ColumnAlign align) {
    ProgrammaticChange change(*this);
    const int columns = columnCount();
    if (column < 0 || column > columns) {
        column = columns;
    }
    // Shift the existing columns' texts right of the new one.
    QTreeWidgetItem* head = headerItem();
    QStringList headings;
    std::vector<Qt::Alignment> aligns;
    for (int c = 0; c < columns; ++c) {
        headings << head->text(c);
        aligns.push_back(Qt::Alignment(head->textAlignment(c)));
    }
    std::vector<int> widths;
    for (int c = 0; c < columns; ++c) {
        widths.push_back(columnWidth(c));
    }
    headings.insert(column, ToQt(heading));
    aligns.insert(aligns.begin() + column, ToQtAlign(align));
    widths.insert(widths.begin() + column,
                  Owner() != nullptr ? ToFontPixelsX(widthPixels, Owner()->Units()) : widthPixels);
    setColumnCount(columns + 1);
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        for (int c = columns; c > column; --c) {
            item->setText(c, item->text(c - 1));
        }
        item->setText(column, QString());
    }
    for (int c = 0; c <= columns; ++c) {
        head->setText(c, headings[c]);
        head->setTextAlignment(c, aligns[static_cast<size_t>(c)]);
        setColumnWidth(c, widths[static_cast<size_t>(c)]);
    }
    return column;
}

int ListView::GetColumnCount() const {
    return columnCount();
}

int ListView::GetColumnWidth(int column) const {
    return Owner() != nullptr ? FromFontPixelsX(columnWidth(column), Owner()->Units())
                              : columnWidth(column);
}

QTreeWidgetItem* ListView::Row(int row) const {
    return (row >= 0 && row < topLevelItemCount()) ? topLevelItem(row) : nullptr;
}

int ListView::InsertItem(int row, const std::string& text) {
    ProgrammaticChange change(*this);
    if (row < 0 || row > topLevelItemCount()) {
        row = topLevelItemCount();
    }
    auto* item = new QTreeWidgetItem();
    item->setText(0, ToQt(text));  // item data reads as 0 until set
    QTreeWidgetItem* head = headerItem();
    for (int c = 0; c < columnCount(); ++c) {
        item->setTextAlignment(c, Qt::Alignment(head->textAlignment(c)));
    }
    insertTopLevelItem(row, item);
    return row;
}

bool ListView::SetItemText(int row, int column, const std::string& text) {
    QTreeWidgetItem* item = Row(row);
    if (item == nullptr || column < 0 || column >= std::max(1, columnCount())) {
        return false;
    }
    ProgrammaticChange change(*this);
    item->setText(column, ToQt(text));
    return true;
}

std::string ListView::GetItemText(int row, int column) const {
    const QTreeWidgetItem* item = Row(row);
    return (item != nullptr && column >= 0) ? FromQt(item->text(column)) : std::string();
}

bool ListView::DeleteItem(int row) {
    QTreeWidgetItem* item = Row(row);
    if (item == nullptr) {
        return false;
    }
    ProgrammaticChange change(*this);
    const bool wasSelected = item->isSelected();
    delete item;
    if (wasSelected) {
        clearSelection();
    }
    return true;
}

void ListView::DeleteAllItems() {
    ProgrammaticChange change(*this);
    clear();
}

int ListView::GetItemCount() const {
    return topLevelItemCount();
}

bool ListView::SetItemData(int row, ItemData data) {
    QTreeWidgetItem* item = Row(row);
    if (item == nullptr) {
        return false;
    }
    ProgrammaticChange change(*this);
    item->setData(0, kItemDataRole, QVariant::fromValue<qulonglong>(data));
    return true;
}

ItemData ListView::GetItemData(int row) const {
    const QTreeWidgetItem* item = Row(row);
    return item != nullptr ? static_cast<ItemData>(item->data(0, kItemDataRole).toULongLong()) : 0;
}

int ListView::GetSelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

bool ListView::SetSelectedRow(int row) {
    ProgrammaticChange change(*this);
    QTreeWidgetItem* item = Row(row);
    if (item == nullptr) {
        clearSelection();
        return row < 0;
    }
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return true;
}

bool ListView::EnsureVisible(int row) {
    QTreeWidgetItem* item = Row(row);
    if (item == nullptr) {
        return false;
    }
    scrollToItem(item);
    return true;
}

std::string ListView::GetText() const {
    return GetItemText(GetSelectedRow(), 0);
}

void ListView::OnSelectionChanged() {
    if (InProgrammaticChange()) {
        return;
    }
    ReportRow(Notify::ItemChanged, GetSelectedRow());
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item != nullptr) {
        ReportRow(Notify::DoubleClicked, indexOfTopLevelItem(item));
    }
}

}  // namespace fw

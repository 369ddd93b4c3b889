#include "framework/tree_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "framework/dialog_template.h"
#include "framework/text.h"

namespace fw {
namespace {

constexpr int kCheckSeenRole = kItemDataRole + 1;

int CountItems(const QTreeWidgetItem* item) {
    int total = 1;
    for (int i = 0; i < item->childCount(); ++i) {
        total += CountItems(item->child(i));
    }
    return total;
}

}  // namespace

TreeView::TreeView(QWidget* parent, Dialog* owner, int id, unsigned style)
    : QTreeWidget(parent), Control(owner, id) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setRootIsDecorated((style & kTreeLines) != 0);
    setMouseTracking((style & kHotTrack) != 0);
    header()->setStretchLastSection(true);
    checkBoxes_ = (style & kTreeCheckBoxes) != 0;
    connect(this, &QTreeWidget::itemChanged, this, &TreeView::OnItemChanged);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &TreeView::OnSelectionChanged);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        Notification notification;
        notification.code = Notify::DoubleClicked;
        notification.item = TreeItem(item);
        Report(notification);
    });
}

void TreeView::ApplyCheckBox(QTreeWidgetItem* item) {
    if (checkBoxes_) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        if (!item->data(0, Qt::CheckStateRole).isValid()) {
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, kCheckSeenRole, false);
        }
    } else {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, QVariant());
    }
}

void TreeView::SetCheckBoxes(bool on) {
    ProgrammaticChange change(*this);
    checkBoxes_ = on;
    QTreeWidgetItemIterator it(this);
    while (*it != nullptr) {
        ApplyCheckBox(*it);
        ++it;
    }
}

TreeItem TreeView::InsertItem(const std::string& text, TreeItem parent, ItemData data) {
    ProgrammaticChange change(*this);
    auto* item = new QTreeWidgetItem(QStringList{ToQt(text)});
    item->setData(0, kItemDataRole, QVariant::fromValue<qulonglong>(data));
    if (parent.IsNull()) {
        addTopLevelItem(item);
    } else {
        parent.Get()->addChild(item);
    }
    ApplyCheckBox(item);
    return TreeItem(item);
}

TreeItem TreeView::InsertItemAfter(const std::string& text, TreeItem parent, TreeItem after,
                                   ItemData data) {
    ProgrammaticChange change(*this);
    auto* item = new QTreeWidgetItem(QStringList{ToQt(text)});
    item->setData(0, kItemDataRole, QVariant::fromValue<qulonglong>(data));
    QTreeWidgetItem* p = parent.Get();
    int position = 0;
    if (!after.IsNull()) {
        position =
            (p != nullptr ? p->indexOfChild(after.Get()) : indexOfTopLevelItem(after.Get())) + 1;
        if (position <= 0) {
            position = p != nullptr ? p->childCount() : topLevelItemCount();
        }
    }
    if (p == nullptr) {
        insertTopLevelItem(position, item);
    } else {
        p->insertChild(position, item);
    }
    ApplyCheckBox(item);
    return TreeItem(item);
}

bool TreeView::DeleteItem(TreeItem item) {
    if (item.IsNull()) {
        return false;
    }
    ProgrammaticChange change(*this);
    delete item.Get();
    return true;
}

void TreeView::DeleteAllItems() {
    ProgrammaticChange change(*this);
    clear();
}

TreeItem TreeView::GetRootItem() const {
    return TreeItem(topLevelItem(0));
}

TreeItem TreeView::GetChildItem(TreeItem item) const {
    if (item.IsNull()) {
        return GetRootItem();
    }
    return TreeItem(item.Get()->child(0));
}

TreeItem TreeView::GetNextSibling(TreeItem item) const {
    if (item.IsNull()) {
        return {};
    }
    QTreeWidgetItem* p = item.Get()->parent();
    if (p != nullptr) {
        return TreeItem(p->child(p->indexOfChild(item.Get()) + 1));
    }
    return TreeItem(topLevelItem(indexOfTopLevelItem(item.Get()) + 1));
}

TreeItem TreeView::GetPrevSibling(TreeItem item) const {
    if (item.IsNull()) {
        return {};
    }
    QTreeWidgetItem* p = item.Get()->parent();
    const int index = p != nullptr ? p->indexOfChild(item.Get()) : indexOfTopLevelItem(item.Get());
    if (index <= 0) {
        return {};
    }
    return TreeItem(p != nullptr ? p->child(index - 1) : topLevelItem(index - 1));
}

TreeItem TreeView::GetParentItem(TreeItem item) const {
    return item.IsNull() ? TreeItem() : TreeItem(item.Get()->parent());
}

bool TreeView::ItemHasChildren(TreeItem item) const {
    return item.IsNull() ? topLevelItemCount() > 0 : item.Get()->childCount() > 0;
}

int TreeView::GetCount() const {
    int total = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        total += CountItems(topLevelItem(i));
    }
    return total;
}

std::string TreeView::GetItemText(TreeItem item) const {
    return item.IsNull() ? std::string() : FromQt(item.Get()->text(0));
}

bool TreeView::SetItemText(TreeItem item, const std::string& text) {
    if (item.IsNull()) {
        return false;
    }
    ProgrammaticChange change(*this);
    item.Get()->setText(0, ToQt(text));
    return true;
}

ItemData TreeView::GetItemData(TreeItem item) const {
    return item.IsNull() ? 0
                         : static_cast<ItemData>(item.Get()->data(0, kItemDataRole).toULongLong());
}

bool TreeView::SetItemData(TreeItem item, ItemData data) {
    if (item.IsNull()) {
        return false;
    }
    ProgrammaticChange change(*this);
    item.Get()->setData(0, kItemDataRole, QVariant::fromValue<qulonglong>(data));
    return true;
}

bool TreeView::GetCheck(TreeItem item) const {
    return !item.IsNull() && item.Get()->checkState(0) == Qt::Checked;
}

bool TreeView::SetCheck(TreeItem item, bool checked) {
    if (item.IsNull() || !checkBoxes_) {
        return false;
    }
    ProgrammaticChange change(*this);
    item.Get()->setData(0, kCheckSeenRole, checked);
    item.Get()->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

bool TreeView::Expand(TreeItem item, bool expand) {
    if (item.IsNull()) {
        return false;
    }
    ProgrammaticChange change(*this);
    item.Get()->setExpanded(expand);
    return true;
}

void TreeView::ExpandAll() {
    ProgrammaticChange change(*this);
    expandAll();
}

bool TreeView::IsExpanded(TreeItem item) const {
    return !item.IsNull() && item.Get()->isExpanded();
}

bool TreeView::EnsureVisible(TreeItem item) {
    if (item.IsNull()) {
        return false;
    }
    ProgrammaticChange change(*this);
    for (QTreeWidgetItem* p = item.Get()->parent(); p != nullptr; p = p->parent()) {
        p->setExpanded(true);
    }
    scrollToItem(item.Get());
    return true;
}

TreeItem TreeView::GetSelectedItem() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? TreeItem() : TreeItem(selected.first());
}

bool TreeView::SelectItem(TreeItem item) {
    ProgrammaticChange change(*this);
    if (item.IsNull()) {
        clearSelection();
        setCurrentItem(nullptr);
        return true;
    }
    setCurrentItem(item.Get(), 0, QItemSelectionModel::ClearAndSelect);
    return true;
}

QRect TreeView::CheckBoxRect(TreeItem item) const {
    if (item.IsNull() || !checkBoxes_) {
        return {};
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualItemRect(item.Get());
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item.Get()->text(0);
    option.checkState = item.Get()->checkState(0);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

QTreeWidgetItem* TreeView::CheckBoxAt(const QPoint& point) const {
    QTreeWidgetItem* item = itemAt(point);
    if (item == nullptr || !checkBoxes_ || !(item->flags() & Qt::ItemIsUserCheckable)) {
        return nullptr;
    }
    return CheckBoxRect(TreeItem(item)).contains(point) ? item : nullptr;
}

void TreeView::mousePressEvent(QMouseEvent* event) {
    pressedCheckBox_ = nullptr;
    if (event->button() == Qt::LeftButton) {
        if (QTreeWidgetItem* item = CheckBoxAt(event->position().toPoint())) {
            pressedCheckBox_ = item;
            setFocus(Qt::MouseFocusReason);
            event->accept();
            return;
        }
    }
    QTreeWidget::mousePressEvent(event);
}

void TreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (pressedCheckBox_ != nullptr && event->button() == Qt::LeftButton) {
        QTreeWidgetItem* item = pressedCheckBox_;
        pressedCheckBox_ = nullptr;
        if (CheckBoxAt(event->position().toPoint()) == item) {
            // The user's toggle: itemChanged reports it.
            item->setCheckState(0,
                                item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
        event->accept();
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void TreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (CheckBoxAt(event->position().toPoint()) != nullptr) {
        // The second click of a quick double click on a check box toggles it again.
        mousePressEvent(event);
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

std::string TreeView::GetText() const {
    return GetItemText(GetSelectedItem());
}

void TreeView::SetText(const std::string& text) {
    SetItemText(GetSelectedItem(), text);
}

void TreeView::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (item == nullptr || column != 0 || InProgrammaticChange() || !checkBoxes_) {
        return;
    }
    const bool checked = item->checkState(0) == Qt::Checked;
    if (item->data(0, kCheckSeenRole).toBool() == checked) {
        return;
    }
    {
        ProgrammaticChange change(*this);
        item->setData(0, kCheckSeenRole, checked);
    }
    Notification notification;
    notification.code = Notify::ItemChecked;
    notification.item = TreeItem(item);
    Report(notification);
}

void TreeView::OnSelectionChanged() {
    if (InProgrammaticChange()) {
        return;
    }
    Notification notification;
    notification.code = Notify::SelChange;
    notification.item = GetSelectedItem();
    Report(notification);
}

}  // namespace fw

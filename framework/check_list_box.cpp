#include "framework/check_list_box.h"

#include <QStyle>
#include <QStyleOptionViewItem>

#include "framework/text.h"

namespace fw {
namespace {

// Last check state the program or the user set, to tell check changes from other item changes.
constexpr int kCheckSeenRole = kItemDataRole + 1;

}  // namespace

CheckListBox::CheckListBox(QWidget* parent, Dialog* owner, int id, unsigned style)
    : ListBox(parent, owner, id, style) {
    connect(this, &QListWidget::itemChanged, this, &CheckListBox::OnItemChanged);
}

QListWidgetItem* CheckListBox::MakeItem(const std::string& text) {
    QListWidgetItem* item = ListBox::MakeItem(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);  // the seen state reads as unchecked until set
    return item;
}

bool CheckListBox::GetCheck(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr && it->checkState() == Qt::Checked;
}

bool CheckListBox::SetCheck(int row, bool checked) {
    QListWidgetItem* it = item(row);
    if (it == nullptr) {
        return false;
    }
    ProgrammaticChange change(*this);
    it->setData(kCheckSeenRole, checked);
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

QRect CheckListBox::CheckMarkRect(int row) const {
    const QListWidgetItem* it = item(row);
    if (it == nullptr) {
        return {};
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualItemRect(it);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = it->checkState();
    option.text = it->text();
    option.features |= QStyleOptionViewItem::HasDisplay;
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CheckListBox::OnItemChanged(QListWidgetItem* changed) {
    if (changed == nullptr || InProgrammaticChange()) {
        return;
    }
    const bool checked = changed->checkState() == Qt::Checked;
    if (changed->data(kCheckSeenRole).toBool() == checked) {
        return;  // some other property changed
    }
    {
        ProgrammaticChange change(*this);
        changed->setData(kCheckSeenRole, checked);
    }
    // The row whose mark the user toggled becomes the selected row first, so handlers can take
    // the toggled row from the selection.
    const int toggled = row(changed);
    if (GetCurSel() != toggled) {
        setCurrentRow(toggled, QItemSelectionModel::ClearAndSelect);  // reports SelChange
    }
    MarkClickReported();
    ReportRow(Notify::CheckToggled, toggled);
}

}  // namespace fw

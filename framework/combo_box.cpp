#include "framework/combo_box.h"

#include "framework/dialog_template.h"
#include "framework/text.h"

namespace fw {

ComboBox::ComboBox(QWidget* parent, Dialog* owner, int id, unsigned style)
    : QComboBox(parent), Control(owner, id), StringList((style & kSorted) != 0) {
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Nothing the program does is reported (see Control::Report).
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int row) { ReportRow(Notify::SelChange, row); });
    connect(this, &QComboBox::activated, this,
            [this](int row) { ReportRow(Notify::SelAccept, row); });
}

int ComboBox::InsertString(int row, const std::string& text) {
    ProgrammaticChange change(*this);
    if (row < 0 || row > count()) {
        row = count();
    }
    const int selected = currentIndex();
    insertItem(row, ToQt(text));
    setItemData(row, QVariant::fromValue<qulonglong>(0), kItemDataRole);
    // A drop-down list selects nothing by itself; inserting into an empty list must not select.
    if (selected < 0) {
        setCurrentIndex(-1);
    }
    return row;
}

int ComboBox::DeleteString(int row) {
    if (row < 0 || row >= count()) {
        return -1;
    }
    ProgrammaticChange change(*this);
    const int selected = currentIndex();
    removeItem(row);
    if (selected == row) {
        setCurrentIndex(-1);
    }
    return count();
}

void ComboBox::ResetContent() {
    ProgrammaticChange change(*this);
    clear();
}

int ComboBox::GetCount() const {
    return count();
}

std::string ComboBox::GetText(int row) const {
    if (row < 0 || row >= count()) {
        return {};
    }
    return FromQt(itemText(row));
}

int ComboBox::GetCurSel() const {
    return currentIndex();
}

int ComboBox::SetCurSel(int row) {
    ProgrammaticChange change(*this);
    if (row < 0 || row >= count()) {
        setCurrentIndex(-1);
        return -1;
    }
    setCurrentIndex(row);
    return row;
}

bool ComboBox::SetItemData(int row, ItemData value) {
    if (row < 0 || row >= count()) {
        return false;
    }
    ProgrammaticChange change(*this);
    setItemData(row, QVariant::fromValue<qulonglong>(value), kItemDataRole);
    return true;
}

ItemData ComboBox::GetItemData(int row) const {
    if (row < 0 || row >= count()) {
        return 0;
    }
    return static_cast<ItemData>(itemData(row, kItemDataRole).toULongLong());
}

}  // namespace fw

#include "framework/combo_box.h"

#include "framework/dialog_template.h"
#include "framework/string_search.h"
#include "framework/text.h"

namespace fw {
namespace {

constexpr int kItemDataRole = Qt::UserRole + 1;

}  // namespace

ComboBox::ComboBox(QWidget* parent, Dialog* owner, int id, unsigned style)
    : QComboBox(parent), Control(owner, id), sorted_((style & kSorted) != 0) {
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (InProgrammaticChange()) {
            return;
        }
        Notification notification;
        notification.code = Notify::SelChange;
        notification.row = row;
        Report(notification);
    });
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (InProgrammaticChange()) {
            return;
        }
        Notification notification;
        notification.code = Notify::SelAccept;
        notification.row = row;
        Report(notification);
    });
}

int ComboBox::AddString(const std::string& text) {
    int row = count();
    if (sorted_) {
        row = SortedInsertRow(
            count(), [this](int r) { return GetText(r); }, text);
    }
    return InsertString(row, text);
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

int ComboBox::FindString(int startAfter, const std::string& prefix) const {
    return FindRow(
        count(), [this](int r) { return GetText(r); }, startAfter, prefix, Match::Prefix);
}

int ComboBox::FindStringExact(int startAfter, const std::string& text) const {
    return FindRow(
        count(), [this](int r) { return GetText(r); }, startAfter, text, Match::Exact);
}

int ComboBox::SelectString(int startAfter, const std::string& prefix) {
    const int row = FindString(startAfter, prefix);
    if (row >= 0) {
        SetCurSel(row);
    }
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

std::string ComboBox::GetText() const {
    return GetText(GetCurSel());
}

void ComboBox::SetText(const std::string& text) {
    SelectString(-1, text);
}

}  // namespace fw

#pragma once
// Drop-down list (not editable) with the same string functions as fw::ListBox (fw::StringList).

#include <QComboBox>
#include <string>

#include "framework/control.h"
#include "framework/string_list.h"

namespace fw {

class ComboBox : public QComboBox, public Control, public StringList {
    Q_OBJECT
  public:
    // style: kSorted.
    ComboBox(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~ComboBox() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }

    int InsertString(int row, const std::string& text) override;
    int DeleteString(int row) override;
    void ResetContent() override;
    int GetCount() const override;
    std::string GetText(int row) const override;
    int GetCurSel() const override;
    int SetCurSel(int row) override;
    bool SetItemData(int row, ItemData value) override;
    ItemData GetItemData(int row) const override;

    // Control: the selected entry's text; SetText selects the first entry starting with it.
    std::string GetText() const override { return SelectedText(); }
    void SetText(const std::string& text) override { SelectText(text); }
};

}  // namespace fw

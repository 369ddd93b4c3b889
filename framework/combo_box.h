#pragma once
// Drop-down list (not editable) with the same string functions as fw::ListBox.

#include <QComboBox>
#include <string>

#include "framework/control.h"
#include "framework/list_box.h"

namespace fw {

class ComboBox : public QComboBox, public Control {
    Q_OBJECT
  public:
    // style: kSorted.
    ComboBox(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~ComboBox() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }

    int AddString(const std::string& text);
    int InsertString(int row, const std::string& text);
    int DeleteString(int row);
    void ResetContent();
    int GetCount() const;
    std::string GetText(int row) const;

    int GetCurSel() const;
    int SetCurSel(int row);
    int FindString(int startAfter, const std::string& prefix) const;
    int FindStringExact(int startAfter, const std::string& text) const;
    int SelectString(int startAfter, const std::string& prefix);

    bool SetItemData(int row, ItemData value);
    ItemData GetItemData(int row) const;

    std::string GetText() const override;
    void SetText(const std::string& text) override;

  private:
    bool sorted_;
};

}  // namespace fw

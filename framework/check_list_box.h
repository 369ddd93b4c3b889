#pragma once
// List box whose rows carry a check mark. When the user toggles a check mark, its row is selected
// first (SelChange), then CheckToggled is reported.

#include "framework/list_box.h"

namespace fw {

class CheckListBox : public ListBox {
    Q_OBJECT
  public:
    CheckListBox(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~CheckListBox() override { QObject::disconnect(this, nullptr, this, nullptr); }

    // Check state of a row (false for rows that do not exist). Setting it never notifies.
    bool GetCheck(int row) const;
    bool SetCheck(int row, bool checked);

    // Screen-independent position of a row's check mark, in viewport coordinates (for tests and
    // hit testing). Empty when the row does not exist.
    QRect CheckMarkRect(int row) const;

  protected:
    QListWidgetItem* MakeItem(const std::string& text) override;

  private:
    void OnItemChanged(QListWidgetItem* item);
};

}  // namespace fw

#pragma once
// Push buttons and check boxes. Clicked is reported for user clicks (mouse, Space, mnemonic, or
// Enter for the focused / default button), never for programmatic state changes.

#include <QCheckBox>
#include <QPushButton>
#include <string>

#include "framework/control.h"

namespace fw {

class Button : public QPushButton, public Control {
    Q_OBJECT
  public:
    // style: kDefaultButton.
    Button(QWidget* parent, Dialog* owner, int id, const std::string& caption, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~Button() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }
    std::string GetText() const override;
    void SetText(const std::string& text) override;

    bool IsDefaultButton() const { return isDefault(); }
};

class CheckBox : public QCheckBox, public Control {
    Q_OBJECT
  public:
    CheckBox(QWidget* parent, Dialog* owner, int id, const std::string& caption,
             unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~CheckBox() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }
    std::string GetText() const override;
    void SetText(const std::string& text) override;

    // 0 unchecked, 1 checked. Setting never notifies.
    int GetCheck() const { return isChecked() ? 1 : 0; }
    void SetCheck(int state);
};

}  // namespace fw

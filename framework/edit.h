#pragma once
// Single-line edit. TextChanged is reported for the user's edits only.

#include <QLineEdit>
#include <string>

#include "framework/control.h"

namespace fw {

class Edit : public QLineEdit, public Control {
    Q_OBJECT
  public:
    // style: kDigitsOnly, kReadOnly, kPassword, kAlignRight, kAlignCenter.
    Edit(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~Edit() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }

    std::string GetText() const override;
    // Shows `text` whole, even when it is longer than the limit or holds non-digits: the limit and
    // the digits-only rule restrict what the user types, never what the program shows.
    void SetText(const std::string& text) override;

    // Most characters the user can bring the text to by typing or pasting; 0 = no limit. Text
    // that is already longer is kept (the user can shorten it but not lengthen it).
    void SetLimitText(int characters);
    int GetLimitText() const { return limit_; }

    // Selects the characters from `start` up to `end` (the caret goes to `end`) and scrolls the
    // caret into view; start == end only places the caret. Positions beyond the text mean its
    // end. Never notifies.
    void SetSel(int start, int end);

    void SetDigitsOnly(bool on);
    bool IsDigitsOnly() const { return digitsOnly_; }
    void SetReadOnly(bool on) { setReadOnly(on); }

  private:
    class InputRule;
    friend class InputRule;

    int limit_ = 0;
    bool digitsOnly_ = false;
    QString lastText_;  // text before the user's current change, for the input rule
};

}  // namespace fw

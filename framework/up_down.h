#pragma once
// Up-down control: two arrows that request a position change, -1 for the upper arrow and +1 for the
// lower one (the platform's default range runs from 100 at the top to 0 at the bottom). The
// handler's result (see MessageTable::OnUpDown) refuses the change when nonzero.

#include <QWidget>
#include <string>

#include "framework/control.h"

class QToolButton;

namespace fw {

class UpDown : public QWidget, public Control {
    Q_OBJECT
  public:
    UpDown(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    ~UpDown() override;

    QWidget* Widget() override { return this; }
    std::string GetText() const override { return {}; }
    void SetText(const std::string&) override {}

    int GetPos() const { return pos_; }
    void SetPos(int pos);

    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Request(int delta);

    QToolButton* up_;
    QToolButton* down_;
    int pos_ = 0;
};

}  // namespace fw

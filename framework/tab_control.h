#pragma once
// Tab strip that wraps its tabs into several rows when they do not fit in one (rows fill the
// control's width, the row holding the selected tab lies next to the page area), highlights the tab
// under the mouse and never takes the keyboard focus. SelChange is reported for user clicks only.
//
// Pages are child widgets of the tab control; the page base places them with ClientRect(),
// GetItemRect(0).height() and GetRowCount().

#include <QRect>
#include <QWidget>
#include <string>
#include <vector>

#include "framework/control.h"

namespace fw {

class TabControl : public QWidget, public Control {
    Q_OBJECT
  public:
    // style: kMultiLineTabs (otherwise one row, tabs may be clipped), kHotTrack.
    TabControl(QWidget* parent, Dialog* owner, int id, unsigned style = 0);

    QWidget* Widget() override { return this; }

    // Inserts a tab at `index` (past the end: appended). Returns its index.
    int InsertItem(int index, const std::string& text);
    bool DeleteItem(int index);
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(tabs_.size()); }
    std::string GetItemText(int index) const;

    // Selected tab, -1 when none. SetCurSel never notifies; returns the previous selection or -1.
    int GetCurSel() const { return current_; }
    int SetCurSel(int index);

    // Rectangle of a tab in the control's coordinates (empty for an invalid index).
    QRect GetItemRect(int index) const;
    // Number of tab rows (at least 1).
    int GetRowCount() const;
    // The control's client rectangle: (0, 0, width, height).
    QRect ClientRect() const { return rect(); }
    // Height of one tab row in pixels.
    int TabHeight() const;
    // Tab under a point in control coordinates, -1 when none.
    int HitTest(const QPoint& point) const;
    // Tab highlighted by hot-tracking, -1 when none.
    int HotItem() const { return hot_; }

    std::string GetText() const override;  // the selected tab's text
    void SetText(const std::string&) override {}

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Tab {
        QString text;
        QRect rect;
        int row = 0;  // layout row before moving the selected row next to the page area
    };
    void Layout() const;
    int TabWidth(const Tab& tab) const;

    mutable std::vector<Tab> tabs_;
    mutable int rows_ = 1;
    mutable bool dirty_ = true;
    bool multiLine_;
    bool hotTrack_;
    int current_ = -1;
    int hot_ = -1;
};

}  // namespace fw

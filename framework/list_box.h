#pragma once
// Single-selection list box with the platform's string functions (see fw::StringList) and item
// data per row.

#include <QListWidget>
#include <string>

#include "framework/control.h"
#include "framework/string_list.h"

namespace fw {

class ListBox : public QListWidget, public Control, public StringList {
    Q_OBJECT
  public:
    // style: kSorted, kHorizontalScroll (see dialog_template.h).
    ListBox(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~ListBox() override { QObject::disconnect(this, nullptr, this, nullptr); }

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

    // The largest height up to `height` that shows whole rows only (at least one), as the
    // platform sizes a list box from its template so that no row is cut at the bottom.
    int WholeRowsHeight(int height);

    // Width in pixels that the horizontal scroll bar can scroll to (0 = none needed).
    void SetHorizontalExtent(int pixels);
    int GetHorizontalExtent() const { return horizontalExtent_; }

    // Control: the selected row's text (empty when none); SetText selects the first row starting
    // with the text.
    std::string GetText() const override { return SelectedText(); }
    void SetText(const std::string& text) override { SelectText(text); }

  protected:
    // Builds the row item; CheckListBox adds its check mark here.
    virtual QListWidgetItem* MakeItem(const std::string& text);
    // Clicks behave as on the platform: a click below the last row selects the last row, Ctrl
    // does not deselect, and every click on the list reports SelChange once, even when the
    // selection stays (the platform reports each release of the button).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The selection shows as selected also while another control has the focus, as the
    // platform's list boxes show it (item views otherwise draw it inactive, which some styles
    // and palettes draw in the window colour, so that it looks as if nothing were selected).
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    // For check list boxes: a click that toggled a check mark has said all it needs to.
    void MarkClickReported() { clickReported_ = true; }

  private:
    void OnSelectionChanged();
    void SyncCurrentToSelection();

    int horizontalExtent_ = 0;
    bool clickPending_ = false;   // a button press on this list awaits its release
    bool clickReported_ = false;  // SelChange already reported since that press
};

}  // namespace fw

#pragma once
// Single-selection list box with the platform's string functions: sorted insertion without regard
// to case, prefix and whole-text search with wrap-around, item data per row.

#include <QListWidget>
#include <cstdint>
#include <string>

#include "framework/control.h"

namespace fw {

using ItemData = std::uintptr_t;

class ListBox : public QListWidget, public Control {
    Q_OBJECT
  public:
    // style: kSorted, kHorizontalScroll (see dialog_template.h).
    ListBox(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~ListBox() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }

    bool IsSorted() const { return sorted_; }

    // Adds a row: at its sorted place in a sorted list, otherwise at the end. Returns its row.
    int AddString(const std::string& text);
    // Inserts at `row` without sorting (-1 or past the end: at the end). Returns the row.
    int InsertString(int row, const std::string& text);
    // Deletes a row; returns the remaining count, or -1 if the row does not exist. Deleting the
    // selected row leaves no row selected.
    int DeleteString(int row);
    void ResetContent();

    int GetCount() const;
    // Text of a row; empty for a row that does not exist.
    std::string GetText(int row) const;

    // Selected row, -1 when none.
    int GetCurSel() const;
    // Selects `row` (-1 clears the selection). Returns the row, or -1 if it does not exist (the
    // selection is then cleared). Never notifies.
    int SetCurSel(int row);

    // Prefix / whole-text search ignoring case, starting after `startAfter` and wrapping
    // (-1 = from the first row). Returns the row or -1.
    int FindString(int startAfter, const std::string& prefix) const;
    int FindStringExact(int startAfter, const std::string& text) const;
    // FindString, then selects the row found (the selection is unchanged when none is found).
    int SelectString(int startAfter, const std::string& prefix);

    // Value kept with a row; 0 for rows that were never given one. False if the row does not exist.
    bool SetItemData(int row, ItemData value);
    ItemData GetItemData(int row) const;

    // Width in pixels that the horizontal scroll bar can scroll to (0 = none needed).
    void SetHorizontalExtent(int pixels);
    int GetHorizontalExtent() const { return horizontalExtent_; }

    // Control: the selected row's text (empty when none); SetText selects the first row starting
    // with the text.
    std::string GetText() const override;
    void SetText(const std::string& text) override;

  protected:
    // Builds the row item; CheckListBox adds its check mark here.
    virtual QListWidgetItem* MakeItem(const std::string& text);
    // Clicks behave as on the platform: a click below the last row selects the last row, Ctrl
    // does not deselect, and every click on the list reports SelChange once, even when the
    // selection stays (the platform reports each release of the button).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // For check list boxes: a click that toggled a check mark has said all it needs to.
    void MarkClickReported() { clickReported_ = true; }

  private:
    void OnSelectionChanged();
    void SyncCurrentToSelection();

    bool sorted_;
    int horizontalExtent_ = 0;
    bool clickPending_ = false;   // a button press on this list awaits its release
    bool clickReported_ = false;  // SelChange already reported since that press
};

}  // namespace fw

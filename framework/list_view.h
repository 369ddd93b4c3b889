#pragma once
// Report-style list view: rows with sub-items in columns, a header that does not sort, single
// whole-row selection. ItemChanged is reported when the user changes the selected row.

#include <QTreeWidget>
#include <string>

#include "framework/control.h"
#include "framework/list_box.h"

namespace fw {

enum class ColumnAlign { Left, Right, Center };

class ListView : public QTreeWidget, public Control {
    Q_OBJECT
  public:
    // style: kReportView, kNoColumnSort, kShowSelectionAlways.
    ListView(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~ListView() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }

    // Inserts a column at `column` (past the end: appended). Returns its index. Widths are pixels
    // of the controller's dialog font, scaled to the owner's (ToFontPixelsX).
    int InsertColumn(int column, const std::string& heading, int widthPixels,
                     ColumnAlign align = ColumnAlign::Left);
    int GetColumnCount() const;
    int GetColumnWidth(int column) const;

    // Inserts a row with `text` in column 0 at `row` (past the end or -1: appended). Returns it.
    int InsertItem(int row, const std::string& text);
    bool SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const;

    bool SetItemData(int row, ItemData data);
    ItemData GetItemData(int row) const;

    // Selected row or -1. SetSelectedRow(-1) clears; never notifies.
    int GetSelectedRow() const;
    bool SetSelectedRow(int row);
    bool EnsureVisible(int row);

    // Accepted for compatibility with the pages' set-up; whole-row selection is always on here.
    void SetFullRowSelect(bool) {}

    // Control: column 0 of the selected row; SetText is ignored.
    std::string GetText() const override;
    void SetText(const std::string&) override {}

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void OnSelectionChanged();
    QTreeWidgetItem* Row(int row) const;
};

}  // namespace fw

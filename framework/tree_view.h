#pragma once
// Tree with optional check boxes and a value per item. SelChange is reported when the user selects
// an item, ItemChecked when the user toggles an item's check box (Notification::item).

#include <QTreeWidget>
#include <string>

#include "framework/control.h"
#include "framework/list_box.h"
#include "framework/tree_item.h"

namespace fw {

class TreeView : public QTreeWidget, public Control {
    Q_OBJECT
  public:
    // style: kTreeCheckBoxes, kTreeLines, kHotTrack, kShowSelectionAlways.
    TreeView(QWidget* parent, Dialog* owner, int id, unsigned style = 0);
    // Signals raised while the widget is torn down must not reach handlers.
    ~TreeView() override { QObject::disconnect(this, nullptr, this, nullptr); }

    QWidget* Widget() override { return this; }

    // Check boxes on every item (existing and future ones).
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return checkBoxes_; }

    // Inserts an item as the last child of `parent` (kTreeRoot = top level), or after `after`
    // when given (kTreeRoot as `after` = first child). Returns the new item.
    TreeItem InsertItem(const std::string& text, TreeItem parent = kTreeRoot, ItemData data = 0);
    TreeItem InsertItemAfter(const std::string& text, TreeItem parent, TreeItem after,
                             ItemData data = 0);
    // Deletes the item with all its descendants. Returns false for a null item.
    bool DeleteItem(TreeItem item);
    void DeleteAllItems();

    TreeItem GetRootItem() const;                // first top-level item
    TreeItem GetChildItem(TreeItem item) const;  // first child (kTreeRoot: first top-level item)
    TreeItem GetNextSibling(TreeItem item) const;
    TreeItem GetPrevSibling(TreeItem item) const;
    TreeItem GetParentItem(TreeItem item) const;  // null for top-level items
    bool ItemHasChildren(TreeItem item) const;
    int GetCount() const;  // all items at every depth

    std::string GetItemText(TreeItem item) const;
    bool SetItemText(TreeItem item, const std::string& text);
    ItemData GetItemData(TreeItem item) const;
    bool SetItemData(TreeItem item, ItemData data);

    bool GetCheck(TreeItem item) const;
    bool SetCheck(TreeItem item, bool checked);  // never notifies

    bool Expand(TreeItem item, bool expand = true);
    // Expands every item that has children, in one pass.
    void ExpandAll();
    bool IsExpanded(TreeItem item) const;
    bool EnsureVisible(TreeItem item);

    TreeItem GetSelectedItem() const;
    bool SelectItem(TreeItem item);  // null clears the selection; never notifies

    // Where an item's check box is drawn, in viewport coordinates (empty without check boxes or
    // for a null item).
    QRect CheckBoxRect(TreeItem item) const;

    // Control: the selected item's text; SetText renames the selected item.
    std::string GetText() const override;
    void SetText(const std::string& text) override;

  protected:
    // A click on an item's check box toggles it without selecting the item, as on the platform.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QTreeWidgetItem* CheckBoxAt(const QPoint& point) const;
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void OnSelectionChanged();
    void ApplyCheckBox(QTreeWidgetItem* item);
    static QTreeWidgetItem* Raw(TreeItem item) { return item.Get(); }

    bool checkBoxes_ = false;
    QTreeWidgetItem* pressedCheckBox_ = nullptr;
};

}  // namespace fw

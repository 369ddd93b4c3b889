#pragma once
// Handle of one tree item. A null handle means "no item" (or, as a parent, the top level).

class QTreeWidgetItem;

namespace fw {

class TreeItem {
  public:
    TreeItem() = default;
    explicit TreeItem(QTreeWidgetItem* item) : item_(item) {}

    bool IsNull() const { return item_ == nullptr; }
    explicit operator bool() const { return item_ != nullptr; }
    QTreeWidgetItem* Get() const { return item_; }

    friend bool operator==(TreeItem a, TreeItem b) { return a.item_ == b.item_; }
    friend bool operator!=(TreeItem a, TreeItem b) { return a.item_ != b.item_; }

  private:
    QTreeWidgetItem* item_ = nullptr;
};

// As a parent: insert at the top level. As an "insert after": first / last position.
inline const TreeItem kTreeRoot{};

}  // namespace fw

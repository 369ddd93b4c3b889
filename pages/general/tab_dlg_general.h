#pragma once
// The "General/Folder Layout" tab page: the file manager's predefined directory tree with a
// "ChangeAllowed" check box per folder, the manager's mirror path, the archive path and the
// default backup parameters. Edits change memory and the controls; only "&Apply" writes them.

#include <string>
#include <unordered_map>
#include <utility>

#include "framework/dialog.h"
#include "framework/tree_item.h"
#include "pages/base/basic_dialog_tab.h"
#include "pages/base/pending_read.h"
#include "pages/general/general_registry.h"
#include "pages/general/predefined_tree.h"

class CTabDlgGeneral : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTabDlgGeneral();
    ~CTabDlgGeneral() override;

    // Reloads the tree and the values. Always succeeds: a missing area is just empty.
    bool LoadFromRegistry() override;
    // The page's read of its area, made ahead on any thread before the page exists (the
    // page table's readAhead); GiveRead hands it to the page, whose next LoadFromRegistry
    // shows it instead of reading.
    struct AreaRead {
        general::GeneralArea area;
        bool treeOpened = false;
        std::string installationDir;
    };
    static void ReadInto(AreaRead& read);
    void GiveRead(AreaRead read) { pendingRead_.Give(std::move(read)); }
    // Writes the tree anew, then the BackUp and Manager\File values.
    common::AreaResult SaveToRegistry() override;

    const general::PredefinedTree& Tree() const { return area_.tree; }
    const std::string& InstallationDir() const { return installationDir_; }

  protected:
    const fw::MessageTableBase& GetMessageTable() const override;
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    bool PreTranslateKey(const fw::KeyMessage& message) override;
    std::string SaveFailureText() const override;

  private:
    void AddToTree();
    void RemoveFromTree();
    void BrowseForIt();
    void ShowSelectedPath(fw::Notification& notification);
    void ToggleChangeAllowed(fw::Notification& notification);

    // Adds tree items for nodes the model has just created (each a child of an existing item
    // or of the one before).
    void AddItems(const std::vector<general::TreeNode*>& nodes);
    // Builds the tree control anew from the model.
    void FillTree();
    // Every check box from its node's stored flag, every node expanded.
    void SyncChecksFromFlags();
    // Shows the selected node's path in "Full Path" (nothing without a selection).
    void ShowPathOfSelection();

    general::TreeNode* NodeOf(fw::TreeItem item) const;
    fw::TreeItem ItemOf(const general::TreeNode* node) const;

    // The tree, and the mirror path, archive path and backup parameters.
    PendingRead<AreaRead> pendingRead_;

    general::GeneralArea area_;
    // The tree control's item of each node; an item's data is its node.
    std::unordered_map<const general::TreeNode*, fw::TreeItem> items_;
    std::string fullPath_;         // bound to "Full Path"
    std::string kestrinName_;      // bound to the read-only "Kestrin name"
    std::string installationDir_;  // lower-cased, for the controller path rule
    // The control in which a key went down and whose release is awaited (0 when none), so a
    // release that follows a press elsewhere (a message box closed with Enter) does nothing.
    int keyDownControl_ = 0;
};

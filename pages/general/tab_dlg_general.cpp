#include "pages/general/tab_dlg_general.h"

#include <algorithm>

#include "common/text_rules.h"
#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/common/controller_path.h"
#include "resources/templates/template_137.h"

namespace {

using namespace res::t137;

// The loads read paths and parameters into 256-byte buffers.
constexpr int kTextLimit = 255;

constexpr const char* kKestrinNameText = "Ostrix";

}  // namespace

CTabDlgGeneral::CTabDlgGeneral() : CBasicDialogTab(general::kGeneralArea) {}
CTabDlgGeneral::~CTabDlgGeneral() = default;

const fw::MessageTableBase& CTabDlgGeneral::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgGeneral>(&CBasicDialogTab::GetClassMessageTable())
            .OnClicked(kAddToTree, &CTabDlgGeneral::AddToTree)
            .OnClicked(kRemoveFromTree, &CTabDlgGeneral::RemoveFromTree)
            .OnClicked(kBrowse, &CTabDlgGeneral::BrowseForIt)
            .On(kTree, fw::Notify::SelChange, &CTabDlgGeneral::ShowSelectedPath)
            .On(kTree, fw::Notify::ItemChecked, &CTabDlgGeneral::ToggleChangeAllowed);
    return table;
}

bool CTabDlgGeneral::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    Item<fw::TreeView>(kTree).SetCheckBoxes(true);
    for (int id : {kFullPath, kMirrorPath, kArchivePath, kBackupConfig, kBackupArchive}) {
        Item<fw::Edit>(id).SetLimitText(kTextLimit);
    }
    kestrinName_ = kKestrinNameText;
    UpdateData(false);
    return result;
}

void CTabDlgGeneral::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kFullPath, fullPath_);
    exchange.Text(kMirrorPath, area_.values.mirrorPath);
    exchange.Text(kArchivePath, area_.values.archivePath);
    exchange.Text(kKestrinName, kestrinName_);
    exchange.Text(kBackupConfig, area_.values.backupConfig);
    exchange.Text(kBackupArchive, area_.values.backupArchive);
}

void CTabDlgGeneral::ReadInto(AreaRead& read) {
    read.treeOpened = general::GeneralRegistry::Load(read.area).Ok();
    common::ReadInstallationDir(read.installationDir);
}

bool CTabDlgGeneral::LoadFromRegistry() {
    auto& tree = Item<fw::TreeView>(kTree);
    tree.DeleteAllItems();
    items_.clear();
    AreaRead read = pendingRead_.Take(&ReadInto);
    area_ = std::move(read.area);
    installationDir_ = std::move(read.installationDir);
    const bool treeOpened = read.treeOpened;
    FillTree();
    UpdateData(false);
    if (treeOpened) {
        SyncChecksFromFlags();
        FocusItem(kTree);
    }
    return true;
}

common::AreaResult CTabDlgGeneral::SaveToRegistry() {
    UpdateData(true);
    return general::GeneralRegistry::Save(area_);
}

std::string CTabDlgGeneral::SaveFailureText() const {
    return "Error deleting registry!\n  No changes will be made!";
}

general::TreeNode* CTabDlgGeneral::NodeOf(fw::TreeItem item) const {
    if (item.IsNull()) {
        return nullptr;
    }
    return reinterpret_cast<general::TreeNode*>(Item<fw::TreeView>(kTree).GetItemData(item));
}

fw::TreeItem CTabDlgGeneral::ItemOf(const general::TreeNode* node) const {
    const auto found = node != nullptr ? items_.find(node) : items_.end();
    return found == items_.end() ? fw::TreeItem() : found->second;
}

void CTabDlgGeneral::AddItems(const std::vector<general::TreeNode*>& nodes) {
    auto& tree = Item<fw::TreeView>(kTree);
    for (general::TreeNode* node : nodes) {
        const fw::TreeItem item =
            tree.InsertItem(node->text, ItemOf(node->parent), reinterpret_cast<fw::ItemData>(node));
        tree.SetCheck(item, node->checked);
        items_.emplace(node, item);
    }
}

void CTabDlgGeneral::FillTree() {
    std::vector<general::TreeNode*> nodes;
    nodes.reserve(area_.tree.CountNodes());
    // Parents come before their children, so each node's parent item exists when it is added.
    area_.tree.ForEach([&nodes](general::TreeNode& node) { nodes.push_back(&node); });
    AddItems(nodes);
}

void CTabDlgGeneral::SyncChecksFromFlags() {
    auto& tree = Item<fw::TreeView>(kTree);
    area_.tree.SyncChecksFromFlags(
        [&](const general::TreeNode& node) { tree.SetCheck(ItemOf(&node), node.checked); });
    tree.ExpandAll();
    tree.update();
}

void CTabDlgGeneral::AddToTree() {
    UpdateData(true);
    fullPath_ = common::TrimSpaces(common::ControllerPath(fullPath_, installationDir_));
    SetItemText(kFullPath, fullPath_);
    if (fullPath_.empty()) {
        return;
    }
    const std::vector<std::string> components = general::PredefinedTree::SplitPath(fullPath_);
    // Each folder becomes a registry key, and a key needs a name.
    if (std::any_of(components.begin(), components.end(),
                    [](const std::string& component) { return component.empty(); })) {
        fw::ShowMessageBox("The path \"" + fullPath_ +
                               "\" holds an empty folder name (a backslash at its start or two "
                               "in a row).\nNothing has been added to the tree.",
                           fw::MsgIcon::Error, fw::MsgButtons::Ok);
        return;
    }
    const general::PredefinedTree::Insertion insertion = area_.tree.InsertComponents(components, 1);
    if (insertion.target == nullptr) {
        return;
    }
    AddItems(insertion.created);
    Item<fw::TreeView>(kTree).SetCheck(ItemOf(insertion.target), insertion.target->checked);
    SyncChecksFromFlags();
    Item<fw::TreeView>(kTree).EnsureVisible(ItemOf(insertion.target));
}

void CTabDlgGeneral::RemoveFromTree() {
    auto& tree = Item<fw::TreeView>(kTree);
    const fw::TreeItem item = tree.GetSelectedItem();
    general::TreeNode* node = NodeOf(item);
    if (node == nullptr) {
        return;
    }
    std::vector<const general::TreeNode*> gone{node};
    for (std::size_t i = 0; i < gone.size(); ++i) {
        for (const auto& child : gone[i]->children) {
            gone.push_back(child.get());
        }
    }
    for (const general::TreeNode* n : gone) {
        items_.erase(n);
    }
    tree.DeleteItem(item);
    area_.tree.Remove(node);
    // The tree selects a neighbour of the removed item; "Full Path" follows it, so that the
    // next removal is not of a node the path does not name.
    ShowPathOfSelection();
}

void CTabDlgGeneral::BrowseForIt() {
    UpdateData(true);
    CDlgBrowseDir picker;
    if (picker.DoModal(this) == fw::kIdCancel) {
        return;
    }
    // Only shown: "Add to tree" adds it.
    fullPath_ = common::ControllerPath(picker.path, installationDir_);
    SetItemText(kFullPath, fullPath_);
}

void CTabDlgGeneral::ShowPathOfSelection() {
    const general::TreeNode* node = NodeOf(Item<fw::TreeView>(kTree).GetSelectedItem());
    if (node == nullptr) {
        return;
    }
    fullPath_ = general::PredefinedTree::PathOf(*node);
    SetItemText(kFullPath, fullPath_);
}

void CTabDlgGeneral::ShowSelectedPath(fw::Notification& notification) {
    ShowPathOfSelection();
    notification.result = 0;
}

void CTabDlgGeneral::ToggleChangeAllowed(fw::Notification& notification) {
    if (general::TreeNode* node = NodeOf(notification.item)) {
        node->checked = Item<fw::TreeView>(kTree).GetCheck(notification.item);
    }
}

bool CTabDlgGeneral::PreTranslateKey(const fw::KeyMessage& message) {
    const int id = message.controlId;
    if (id != kTree && id != kFullPath) {
        return CBasicDialogTab::PreTranslateKey(message);
    }
    if (message.action == fw::KeyAction::Press) {
        keyDownControl_ = id;
    } else if (!message.autoRepeat) {
        const bool pressedHere = keyDownControl_ == id;
        keyDownControl_ = 0;
        if (pressedHere && id == kFullPath && message.virtualKey == fw::kVkReturn) {
            AddToTree();
        } else if (pressedHere && id == kTree && message.virtualKey == fw::kVkDelete) {
            RemoveFromTree();
        }
    }
    // The key goes on to the control as usual.
    return CBasicDialogTab::PreTranslateKey(message);
}

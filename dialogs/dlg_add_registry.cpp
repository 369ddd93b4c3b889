#include "dialogs/dlg_add_registry.h"

#include "common/text_rules.h"
#include "framework/data_exchange.h"
#include "framework/edit.h"
#include "framework/tree_view.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "resources/templates/template_142.h"

namespace {

using namespace res::t142;

// Key names are read into 256 bytes; a longer name is passed over rather than cut.
constexpr DWORD kKeyNameBuffer = 256;
// The archive manager reads a source into 100 bytes.
constexpr int kLongestTypedSource = 99;

fw::ItemData RootData(HKEY root) {
    return reinterpret_cast<fw::ItemData>(root);
}

// Items at this depth and below (0 = a root item) are keys that can be archived.
constexpr int kFirstSourceDepth = 2;

void CollectFrom(const fw::TreeView& tree, fw::TreeItem first, const std::string& parentPath,
                 int depth, std::vector<std::string>& out) {
    for (fw::TreeItem item = first; !item.IsNull(); item = tree.GetNextSibling(item)) {
        const std::string text = tree.GetItemText(item);
        const std::string path = parentPath.empty() ? text : parentPath + "\\" + text;
        if (depth >= kFirstSourceDepth && tree.GetCheck(item)) {
            out.push_back(path);
        }
        CollectFrom(tree, tree.GetChildItem(item), path, depth + 1, out);
    }
}

}  // namespace

CDlgAddRegistry::CDlgAddRegistry() : fw::Dialog(kTemplate) {}
CDlgAddRegistry::~CDlgAddRegistry() = default;

bool CDlgAddRegistry::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    Item<fw::Edit>(kManualEntry).SetLimitText(kLongestTypedSource);
    keyTree_ = &Item<fw::TreeView>(kKeyTree);
    keyTree_->DeleteAllItems();
    keyTree_->SetCheckBoxes(true);

    // One pass over the store for the whole tree.
    registry::RegistryBatch batch;
    const struct {
        HKEY root;
        const char* rootName;
        const char* areas[2];
    } roots[] = {
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", {"VORNA Customer", "VORNA Roboter GmbH"}},
        {HKEY_CURRENT_USER,
         "HKEY_CURRENT_USER",
         {"VORNA Roboter GmbH", "VB and VBA Program Settings"}},
    };
    for (const auto& r : roots) {
        const fw::TreeItem rootItem =
            keyTree_->InsertItem(r.rootName, fw::kTreeRoot, RootData(r.root));
        const fw::TreeItem software = keyTree_->InsertItem("Software", rootItem, RootData(r.root));
        for (const char* area : r.areas) {
            const fw::TreeItem item = keyTree_->InsertItem(area, software, RootData(r.root));
            FillSubtree(item, r.root, std::string("Software\\") + area);
        }
    }
    UpdateData(false);
    return true;
}

void CDlgAddRegistry::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kManualEntry, manualEntry_);
}

void CDlgAddRegistry::FillSubtree(fw::TreeItem item, HKEY root, const std::string& keyPath) {
    RegistryKey key;
    // Full access, as the archive manager needs it; a key that cannot be opened so simply has
    // no children.
    if (key.Open(root, keyPath.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return;
    }
    FillChildren(item, root, key);
}

void CDlgAddRegistry::FillChildren(fw::TreeItem item, HKEY root, HKEY key) {
    // All names first, so the enumeration is not interleaved with the subtrees' own.
    const std::vector<std::string> names = registry::ReadSubkeyNamesThatFit(key, kKeyNameBuffer);
    for (const std::string& name : names) {
        const fw::TreeItem child = keyTree_->InsertItem(name, item, RootData(root));
        RegistryKey subkey;
        if (subkey.Open(key, name.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            FillChildren(child, root, subkey);
        }
    }
}

void CDlgAddRegistry::CollectChecked() {
    selectedSources.clear();
    const std::string typed = common::TrimLeft(manualEntry_);
    if (!typed.empty()) {
        selectedSources.push_back(typed);
    }
    if (keyTree_ != nullptr) {
        CollectFrom(*keyTree_, keyTree_->GetRootItem(), "", 0, selectedSources);
    }
}

void CDlgAddRegistry::OnDefaultAction() {
    if (!UpdateData(true)) {
        return;
    }
    CollectChecked();
    EndDialog(fw::kIdOk);
}

void CDlgAddRegistry::OnCancelAction() {
    selectedSources.clear();
    EndDialog(fw::kIdCancel);
}

#include "pages/general/general_registry.h"

#include <utility>

#include "common/text_rules.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"
#include "registry/win_registry.h"

namespace general {
namespace {

// The layout reads its texts into 256-byte buffers; longer ones are read whole.
constexpr DWORD kTextBufferSize = 256;

// A text value of the page: `unreadable` when it exists but is no text (then `text` is empty).
void ReadText(HKEY key, const char* name, std::string& text, bool* unreadable = nullptr) {
    if (registry::QueryWholeString(key, name, &text, kTextBufferSize) == ERROR_SUCCESS) {
        if (unreadable != nullptr) {
            *unreadable = false;
        }
        return;
    }
    text.clear();
    if (unreadable != nullptr) {
        *unreadable = registry::QueryStoredValue(key, name).has_value();
    }
}

// Hands what a node's key holds beyond the layout to the node, walking the snapshot and the
// tree side by side: subkeys that have a node go on with that node, the others are kept whole.
void SeparateKept(registry::KeySnapshot& key, TreeNode& node) {
    for (registry::RegValue& value : key.values) {
        if (!common::EqualsNoCase(value.name, kChangeAllowedValue)) {
            node.kept.values.push_back(std::move(value));
        }
    }
    for (registry::KeySnapshot& subkey : key.subkeys) {
        if (TreeNode* child = node.FindChild(subkey.name)) {
            SeparateKept(subkey, *child);
        } else {
            node.kept.subkeys.push_back(std::move(subkey));
        }
    }
}

void SeparateRootKept(registry::KeySnapshot& root, PredefinedTree& tree) {
    registry::KeySnapshot& kept = tree.RootKept();
    kept.values = std::move(root.values);
    for (registry::KeySnapshot& subkey : root.subkeys) {
        if (TreeNode* node = tree.FindTopLevel(subkey.name)) {
            SeparateKept(subkey, *node);
        } else {
            kept.subkeys.push_back(std::move(subkey));
        }
    }
}

// Creates the node's key (`path` under `parent`), writes its check box as "ChangeAllowed", its
// children and what its key kept. A key that cannot be created loses its subtree for this save.
// The node's key as it is to be, below `parent`: the save then writes only what differs.
void WriteTreeNode(const TreeNode& node, registry::KeySnapshot& parent) {
    registry::KeySnapshot& key = registry::AddKeyPath(parent, node.text);
    key.values.push_back(registry::NumberValue(kChangeAllowedValue, node.checked ? 1 : 0));
    for (const auto& child : node.children) {
        WriteTreeNode(*child, key);
    }
    key.values.insert(key.values.end(), node.kept.values.begin(), node.kept.values.end());
    key.subkeys.insert(key.subkeys.end(), node.kept.subkeys.begin(), node.kept.subkeys.end());
}

}  // namespace

void GeneralRegistry::ReadTreeKey(const registry::KeySnapshot& key,
                                  std::vector<std::string>& components, PredefinedTree& tree) {
    for (const registry::KeySnapshot& subkey : key.subkeys) {
        components.push_back(subkey.name);
        ReadTreeKey(subkey, components, tree);
        components.pop_back();
    }
    if (components.empty()) {
        return;  // PreDefinedTree itself is no node
    }
    const registry::RegValue* changeAllowed = key.FindValue(kChangeAllowedValue);
    if (const auto flag = changeAllowed ? registry::DwordOf(*changeAllowed) : std::nullopt) {
        tree.InsertComponents(components, *flag);
    }
}

common::AreaResult GeneralRegistry::Load(GeneralArea& area) {
    common::AreaResult loadResult(kGeneralArea);
    PredefinedTree& tree = area.tree;
    GeneralValues& values = area.values;
    tree.Clear();
    registry::RegistryBatch batch;
    {
        RegistryKey key;
        if (common::OpenAreaKey(key, kPreDefinedTreeKeyPath, KEY_ALL_ACCESS, loadResult)) {
            // One raw pass over the whole tree: the nodes come from it, and what the layout
            // does not own stays with them for the save.
            registry::KeySnapshot snapshot;
            registry::ReadKeySnapshot(key, &snapshot);
            std::vector<std::string> components;
            ReadTreeKey(snapshot, components, tree);
            SeparateRootKept(snapshot, tree);
        }
    }
    {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, kBackUpKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            loadResult.AddRead(kBackUpKeyPath);
            ReadText(key, "", values.archivePath, &values.archivePathUnreadable);
            ReadText(key, kConfigValue, values.backupConfig);
            ReadText(key, kArchiveValue, values.backupArchive);
        }
    }
    {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, kManagerFileKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            loadResult.AddRead(kManagerFileKeyPath);
            ReadText(key, kMirrorPathValue, values.mirrorPath, &values.mirrorPathUnreadable);
        }
    }
    return loadResult;
}

common::AreaResult GeneralRegistry::Save(const GeneralArea& area) {
    common::AreaResult saveResult(kGeneralArea);
    const PredefinedTree& tree = area.tree;
    const GeneralValues& values = area.values;
    registry::RegistryBatch batch;
    registry::KeySnapshot treeKey;
    for (const auto& node : tree.TopLevel()) {
        WriteTreeNode(*node, treeKey);
    }
    const registry::KeySnapshot& rootKept = tree.RootKept();
    treeKey.values.insert(treeKey.values.end(), rootKept.values.begin(), rootKept.values.end());
    treeKey.subkeys.insert(treeKey.subkeys.end(), rootKept.subkeys.begin(), rootKept.subkeys.end());
    registry::Settle(treeKey);
    // A refused delete puts back what it removed, and the values below are left as they are.
    if (const LONG result =
            registry::ReplaceKeyTree(HKEY_LOCAL_MACHINE, kPreDefinedTreeKeyPath, treeKey);
        result != ERROR_SUCCESS) {
        saveResult.AddFailure(kPreDefinedTreeKeyPath, result);
        return saveResult;
    }
    {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, kBackUpKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            if (!values.archivePath.empty() || !values.archivePathUnreadable) {
                key.SetString("", values.archivePath.c_str());
            }
            // An emptied field leaves the stored value as it is.
            if (!values.backupConfig.empty()) {
                key.SetString(kConfigValue, values.backupConfig.c_str());
            }
            if (!values.backupArchive.empty()) {
                key.SetString(kArchiveValue, values.backupArchive.c_str());
            }
        }
    }
    {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, kManagerFileKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            if (!values.mirrorPath.empty() || !values.mirrorPathUnreadable) {
                key.SetString(kMirrorPathValue, values.mirrorPath.c_str());
            }
        }
    }
    return saveResult;
}

}  // namespace general

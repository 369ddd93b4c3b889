#pragma once
// The predefined directory tree of the file manager: folder names nested as the file manager
// shows them, each with its "ChangeAllowed" flag. The page shows it in a tree control with a
// check box per node; this is the tree itself, so it is built and tested without a window.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "registry/key_snapshot.h"

namespace general {

struct TreeNode {
    std::string text;  // one path component: a folder name, a drive ("c:") or "vlx:"
    // The stored flag: what the load read (any number) or what "Add to tree" set. The check
    // box is set from it whenever the checks are synchronised.
    std::uint32_t flag = 0;
    // The check box as the user sees it; "&Apply" writes it as "ChangeAllowed".
    bool checked = false;
    TreeNode* parent = nullptr;  // null for a top-level node
    std::vector<std::unique_ptr<TreeNode>> children;
    // What the node's key held besides its "ChangeAllowed": other values, and subkeys without
    // any node below them. "&Apply" writes it back into the node's key.
    registry::KeySnapshot kept;

    // The first child whose text matches without regard to case, or null.
    TreeNode* FindChild(std::string_view childText) const;

  private:
    friend class PredefinedTree;
    // Children by lower-cased text, so that deep or wide trees are searched without walking
    // every sibling. Siblings never share a text: the registry keeps key names apart without
    // regard to case, and an insertion reuses a matching node.
    std::unordered_map<std::string, TreeNode*> index_;
};

class PredefinedTree {
  public:
    using NodeList = std::vector<std::unique_ptr<TreeNode>>;

    PredefinedTree() = default;
    PredefinedTree(const PredefinedTree&) = delete;
    PredefinedTree& operator=(const PredefinedTree&) = delete;
    // Moving keeps every node where it is: top-level nodes have no parent pointer into root_.
    PredefinedTree(PredefinedTree&&) = default;
    PredefinedTree& operator=(PredefinedTree&&) = default;

    const NodeList& TopLevel() const { return root_.children; }
    bool Empty() const { return root_.children.empty(); }
    // Removes every node and what the top key kept.
    void Clear();

    // What the PreDefinedTree key itself held besides its nodes' keys: its values, and subkeys
    // without any node below them.
    registry::KeySnapshot& RootKept() { return root_.kept; }
    const registry::KeySnapshot& RootKept() const { return root_.kept; }

    // The components of a path: each text before a backslash, and the text after the last one
    // when it is not empty (so a trailing backslash adds nothing).
    static std::vector<std::string> SplitPath(std::string_view path);

    struct Insertion {
        TreeNode* target = nullptr;      // the node the path ends in; null when nothing was done
        std::vector<TreeNode*> created;  // the nodes made, each the last child of the one before
    };
    // Adds the path: the components the tree lacks are appended as a chain of new nodes (each
    // the last child of the one before, with flag 0 and unchecked) under the deepest node that
    // matches, and the node the path ends in gets `flag` as its stored flag and check box.
    // With `strip`, a path holding `stripPrefix` is cut to what follows it and its backslash.
    // An empty path, or one without components, does nothing.
    Insertion InsertPathIntoTree(std::string_view path, std::uint32_t flag, bool strip = false,
                                 std::string_view stripPrefix = {});
    Insertion InsertComponents(const std::vector<std::string>& components, std::uint32_t flag);

    struct Match {
        TreeNode* deepest = nullptr;  // the last node matched; null when none
        std::size_t matched = 0;      // how many leading components matched
    };
    // Follows the components down from `start`, which must match the first of them: each next
    // component is looked for among the children of the node matched last, without regard to
    // case. Null `start` matches nothing.
    static Match FindDeepestMatch(const std::vector<std::string>& components, TreeNode* start);

    // The top-level node whose text matches without regard to case, or null.
    TreeNode* FindTopLevel(std::string_view text) const { return root_.FindChild(text); }

    // Deletes the node with all its descendants (and what their keys kept).
    void Remove(TreeNode* node);

    // The node's path: each text from the top level down, each followed by a backslash
    // ("vlx:\r1\").
    static std::string PathOf(const TreeNode& node);

    // Sets every node's check box from its stored flag (checked when the flag is not 0). Calls
    // `changed` for each node whose check box changes.
    template <class F>
    void SyncChecksFromFlags(F&& changed) {
        for (auto& node : root_.children) {
            SyncNode(*node, changed);
        }
    }

    // Every node, parents before their children, siblings in order.
    template <class F>
    void ForEach(F&& visit) const {
        for (const auto& node : root_.children) {
            Visit(static_cast<const TreeNode&>(*node), visit);
        }
    }
    template <class F>
    void ForEach(F&& visit) {
        for (auto& node : root_.children) {
            Visit(*node, visit);
        }
    }

    std::size_t CountNodes() const;

  private:
    // Appends a node as the last child of `parent` (the root node for the top level). A subkey
    // of the same name that the parent's key kept becomes the new node's key: its values and
    // subkeys move into the node's `kept` (without its "ChangeAllowed", which the node owns).
    TreeNode* Append(TreeNode& parent, std::string text);

    template <class F>
    static void SyncNode(TreeNode& node, F& changed) {
        const bool checked = node.flag != 0;
        if (node.checked != checked) {
            node.checked = checked;
            changed(node);
        }
        for (auto& child : node.children) {
            SyncNode(*child, changed);
        }
    }

    template <class Node, class F>
    static void Visit(Node& node, F& visit) {
        visit(node);
        for (auto& child : node.children) {
            Visit(static_cast<Node&>(*child), visit);
        }
    }

    TreeNode root_;  // holds the top-level nodes; its own text and flags are not used
};

// The value each node's key holds its flag in.
inline constexpr const char* kChangeAllowedValue = "ChangeAllowed";

}  // namespace general

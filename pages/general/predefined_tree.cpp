#include "pages/general/predefined_tree.h"

#include <algorithm>
#include <utility>

#include "common/text_rules.h"

namespace general {

TreeNode* TreeNode::FindChild(std::string_view childText) const {
    const auto found = index_.find(common::ToLower(childText));
    return found == index_.end() ? nullptr : found->second;
}

void PredefinedTree::Clear() {
    root_.children.clear();
    root_.index_.clear();
    root_.kept = {};
}

std::vector<std::string> PredefinedTree::SplitPath(std::string_view path) {
    std::vector<std::string> components;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('\\', start)) != std::string_view::npos;
         start = slash + 1) {
        components.emplace_back(path.substr(start, slash - start));
    }
    if (start < path.size()) {
        components.emplace_back(path.substr(start));
    }
    return components;
}

TreeNode* PredefinedTree::Append(TreeNode& parent, std::string text) {
    auto node = std::make_unique<TreeNode>();
    node->text = std::move(text);
    node->parent = &parent == &root_ ? nullptr : &parent;
    if (auto adopted = parent.kept.TakeSubkey(node->text)) {
        adopted->RemoveValue(kChangeAllowedValue);
        node->kept.values = std::move(adopted->values);
        node->kept.subkeys = std::move(adopted->subkeys);
    }
    TreeNode* raw = node.get();
    parent.index_.emplace(common::ToLower(raw->text), raw);
    parent.children.push_back(std::move(node));
    return raw;
}

PredefinedTree::Insertion PredefinedTree::InsertPathIntoTree(std::string_view path,
                                                             std::uint32_t flag, bool strip,
                                                             std::string_view stripPrefix) {
    if (path.empty()) {
        return {};
    }
    if (strip && !stripPrefix.empty()) {
        const std::size_t at = path.find(stripPrefix);
        if (at != std::string_view::npos) {
            const std::size_t rest = at + stripPrefix.size() + 1;
            path = rest < path.size() ? path.substr(rest) : std::string_view();
        }
    }
    return InsertComponents(SplitPath(path), flag);
}

PredefinedTree::Insertion PredefinedTree::InsertComponents(
    const std::vector<std::string>& components, std::uint32_t flag) {
    Insertion insertion;
    if (components.empty()) {
        return insertion;
    }
    TreeNode* parent = &root_;
    std::size_t next = 0;
    const Match match = FindDeepestMatch(components, FindTopLevel(components.front()));
    if (match.deepest != nullptr) {
        parent = match.deepest;
        next = match.matched;
    }
    for (; next < components.size(); ++next) {
        parent = Append(*parent, components[next]);
        insertion.created.push_back(parent);
    }
    insertion.target = parent;
    insertion.target->flag = flag;
    insertion.target->checked = flag != 0;
    return insertion;
}

PredefinedTree::Match PredefinedTree::FindDeepestMatch(const std::vector<std::string>& components,
                                                       TreeNode* start) {
    Match match;
    if (start == nullptr || components.empty() ||
        !common::EqualsNoCase(start->text, components.front())) {
        return match;
    }
    TreeNode* current = start;
    while (current != nullptr) {
        match.deepest = current;
        ++match.matched;
        if (match.matched == components.size()) {
            break;
        }
        current = current->FindChild(components[match.matched]);
    }
    return match;
}

void PredefinedTree::Remove(TreeNode* node) {
    if (node == nullptr) {
        return;
    }
    TreeNode& parent = node->parent != nullptr ? *node->parent : root_;
    parent.index_.erase(common::ToLower(node->text));
    auto& siblings = parent.children;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [node](const auto& sibling) { return sibling.get() == node; }));
}

std::string PredefinedTree::PathOf(const TreeNode& node) {
    std::vector<const TreeNode*> chain;
    for (const TreeNode* n = &node; n != nullptr; n = n->parent) {
        chain.push_back(n);
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += (*it)->text;
        path += '\\';
    }
    return path;
}

std::size_t PredefinedTree::CountNodes() const {
    std::size_t count = 0;
    ForEach([&count](const TreeNode&) { ++count; });
    return count;
}

}  // namespace general

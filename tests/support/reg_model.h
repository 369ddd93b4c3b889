#pragma once
// The reference model of a .reg file that the tests, the fuzz targets and the benchmarks compare
// the store with: a file as its lines (RegDocument), and a plain tree of nodes (RegTree) built
// from them the simplest way, so a fault of the store's own tree shows as a difference. The
// program itself never needs it. Standard library only: the Windows test kit seeds the system
// registry from a RegDocument.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/reg_text.h"

namespace registry {

// One key: values in the order they were first set, subkeys in name order.
class RegKeyNode {
  public:
    explicit RegKeyNode(std::string name = {}, RegKeyNode* parent = nullptr)
        : name_(std::move(name)), parent_(parent) {}
    // Children point at their parent, so a node never moves.
    RegKeyNode(const RegKeyNode&) = delete;
    RegKeyNode& operator=(const RegKeyNode&) = delete;

    const std::string& Name() const { return name_; }
    RegKeyNode* Parent() const { return parent_; }

    const std::vector<RegValue>& Values() const { return values_; }
    const RegValue* FindValue(std::string_view name) const;
    // Replaces the data and type of an existing value (its name keeps its first case) or
    // appends a new one.
    void SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data);
    bool RemoveValue(std::string_view name);

    using SubkeyMap = std::map<std::string, std::unique_ptr<RegKeyNode>, NameLess>;
    const SubkeyMap& Subkeys() const { return subkeys_; }
    RegKeyNode* FindSubkey(std::string_view name) const;
    // The existing subkey of that name or a new one; `created` tells which.
    RegKeyNode* AddSubkey(std::string_view name, bool* created = nullptr);
    // Removes the subkey with everything below it; false when there is none.
    bool RemoveSubkey(std::string_view name);

  private:
    std::string name_;
    RegKeyNode* parent_;
    std::vector<RegValue> values_;
    SubkeyMap subkeys_;
};

// The two roots the program uses and the two others a file may hold. Not movable (see above);
// hold it by pointer to swap trees.
struct RegTree {
    RegKeyNode roots[kRegRootCount];
    RegKeyNode& Root(RegRoot root) { return roots[static_cast<int>(root)]; }
    const RegKeyNode& Root(RegRoot root) const { return roots[static_cast<int>(root)]; }
};

// One line's worth of a .reg file, in file order.
struct RegEntry {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    RegRoot root = RegRoot::LocalMachine;
    std::vector<std::string> path;  // key names below the root; empty for the root itself
    std::string valueName;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    int line = 0;
};

struct RegDocument {
    RegFileFormat format;
    std::vector<RegEntry> entries;
};

// Parses the bytes of a .reg file into its lines, with the result of the sink parse.
std::string ParseRegText(std::string_view bytes, const std::string& fileName, RegDocument* doc);

// Applies parsed entries to a tree: keys created with their parents, "[-key]" removes the
// subtree, "name"=- removes the value.
void ApplyRegEntries(const std::vector<RegEntry>& entries, RegTree* tree);
// The whole tree as file bytes in the given format: header, then every key (the roots only
// when they hold values) depth first in subkey order, each with its values in stored order.
// The store's KeyTree of the same content writes exactly these bytes.
std::string WriteRegText(const RegTree& tree, const RegFileFormat& format);

// One value as its .reg line (8-bit, without line end), as AppendRegValue writes it.
std::string FormatRegValue(const RegValue& value, bool version5, bool wrap);

}  // namespace registry

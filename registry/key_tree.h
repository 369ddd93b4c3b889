#pragma once
// The .reg file store's keys and values in memory, built for files of hundreds of thousands of
// values: nodes in one vector named by their index, names and data in one byte arena, and every
// key name kept with its comparison key (reg_text.h) so lookups compare bytes and each name is
// folded once. Subkeys are held in name order: enumeration by index costs O(1), and so does
// removing the first subkey again and again (as a depth-first delete does). Keys with many values
// get a hash index of their value names. Standard library only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "registry/page_buffer.h"
#include "registry/reg_text.h"

namespace registry {

class KeyTree {
  public:
    using Node = uint32_t;
    static constexpr Node kNoNode = 0xFFFFFFFFu;

    struct ValueView {
        std::string_view name;
        uint32_t type = 0;
        const uint8_t* data = nullptr;
        size_t size = 0;
    };

    KeyTree();

    // The four roots are nodes 0 to 3; they have no parent and the empty name.
    static Node Root(RegRoot root) { return static_cast<Node>(root); }
    Node Parent(Node node) const { return nodes_[node].parent; }
    std::string_view Name(Node node) const;

    size_t SubkeyCount(Node node) const;
    // In name order (CompareNames).
    Node SubkeyAt(Node node, size_t index) const;
    Node FindSubkey(Node node, std::string_view name) const;
    // The existing subkey of that name or a new one; `created` tells which.
    Node AddSubkey(Node node, std::string_view name, bool* created = nullptr);
    // Removes `child` of `parent` with everything below it. Its node numbers are used again.
    void RemoveSubkey(Node parent, Node child);
    // Whether `name` names `node` (without regard to case).
    bool IsNamed(Node node, std::string_view name) const;

    // Values in the order they were first set; views are valid until the tree changes.
    size_t ValueCount(Node node) const { return nodes_[node].valueCount; }
    ValueView ValueAt(Node node, size_t index) const;
    // The position of the value of that name, or -1.
    long FindValue(Node node, std::string_view name) const;
    // Replaces the type and data of an existing value (its name keeps its first case and its
    // place) or appends a new one.
    void SetValue(Node node, std::string_view name, uint32_t type, const uint8_t* data,
                  size_t size);
    bool RemoveValue(Node node, std::string_view name);

    // Gives back the arena space of removed names and data once it is more than half of it.
    void CompactIfWasteful();
    // Bytes held for names and data, and for the nodes and value records.
    size_t ArenaBytes() const { return arena_.size(); }

    // Readies the tree for about `bytes` of .reg text, so filling it does not move the arena
    // again and again.
    void Reserve(size_t bytes);

  private:
    struct ValueRec {
        uint32_t name;  // arena offset
        uint32_t nameSize;
        uint32_t data;  // arena offset
        uint32_t dataSize;
        uint32_t type;
        uint32_t hash;  // of the name's comparison key
    };
    struct NodeRec {
        Node parent = kNoNode;
        uint32_t name = 0;  // arena offset of the name, followed by its comparison key
        uint32_t nameSize = 0;
        uint32_t firstChild = 0;     // children before this position are gone
        std::vector<Node> children;  // in name order from firstChild on
        uint32_t firstValue = 0;     // the key's values: a range of the value pool
        uint32_t valueCount = 0;
        uint32_t valueRoom = 0;
        std::vector<uint32_t> valueIndex;  // open addressing: value position + 1, 0 empty
    };

    std::string_view Key(Node node) const;
    long FindValue(Node node, std::string_view name, uint32_t hash) const;
    // Position of `key` among the children of `node`; `found` whether it is there.
    size_t ChildPosition(const NodeRec& rec, std::string_view key, bool* found) const;
    uint32_t Store(std::string_view bytes);
    uint32_t Store(const uint8_t* data, size_t size);
    Node NewNode(Node parent, std::string_view name, std::string_view key);
    void FreeSubtree(Node node);
    void RebuildIndex(NodeRec& rec);
    ValueRec* Values(const NodeRec& rec) {
        return reinterpret_cast<ValueRec*>(pool_.data()) + rec.firstValue;
    }
    const ValueRec* Values(const NodeRec& rec) const {
        return reinterpret_cast<const ValueRec*>(pool_.data()) + rec.firstValue;
    }
    size_t PoolCount() const { return pool_.size() / sizeof(ValueRec); }
    // Room for one more value of `rec`, moving its values to the end of the pool if need be.
    void MakeRoom(NodeRec& rec);
    void CompactPool();
    void IndexValue(NodeRec& rec, uint32_t position);

    std::vector<NodeRec> nodes_;
    std::vector<Node> free_;
    PageBuffer arena_;
    size_t garbage_ = 0;      // arena bytes no longer referred to
    PageBuffer pool_;         // the value records of all keys, each key's in one range
    size_t poolGarbage_ = 0;  // records no longer used
    mutable std::string scratch_;
};

// Parses a .reg file into `tree` (which should be empty), with the result of ParseRegText.
std::string ParseRegText(std::string_view bytes, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format);
// The same, reading the file piece by piece.
std::string ParseRegText(RegTextSource* source, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format);
// The whole tree as file bytes, exactly as WriteRegText writes a RegTree of the same content.
std::string WriteRegText(const KeyTree& tree, const RegFileFormat& format, size_t sizeHint = 0);
// The same bytes in a page buffer (no copy into a string); `sizeHint` is their expected size.
PageBuffer WriteRegFile(const KeyTree& tree, const RegFileFormat& format, size_t sizeHint);

}  // namespace registry

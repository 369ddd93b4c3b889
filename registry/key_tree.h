#pragma once
// The .reg file store's keys and values in memory, built for files of hundreds of thousands of
// values: plain node records in one buffer named by their index, their subkeys, values and value
// indexes in three shared pools, names and data in one byte arena, and every key name kept with
// its comparison key (reg_text.h) so lookups compare bytes and each name is folded once. Filling
// the tree so costs no allocation per key. Subkeys are held in name order: enumeration by index
// costs O(1), and so does removing the first subkey again and again (as a depth-first delete
// does). Keys with many values get a hash index of their value names. Standard library only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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
    Node Parent(Node node) const { return Rec(node).parent; }
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
    size_t ValueCount(Node node) const { return Rec(node).valueCount; }
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
    // Gives the memory reserved beyond what the tree holds back to the system, once it is
    // filled (the tree still grows into it).
    void ReleaseSlack();
    // Bytes held for names and data.
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
    };
    // Plain data, so the nodes sit in one page buffer and no key costs an allocation of its
    // own: its subkeys, values and value index are ranges of three shared pools.
    struct NodeRec {
        Node parent = kNoNode;
        uint32_t name = 0;  // arena offset of the name, followed by its comparison key
        uint32_t nameSize = 0;
        uint32_t firstChild = 0;  // the subkeys, in name order: a range of the child pool
        uint32_t childCount = 0;
        uint32_t childRoom = 0;
        uint32_t firstValue = 0;  // the values: a range of the value pool
        uint32_t valueCount = 0;
        uint32_t valueRoom = 0;
        uint32_t firstSlot = 0;  // open addressing: value position + 1, 0 empty; none when 0 slots
        uint32_t slotCount = 0;
    };

    // Ranges of plain records in one page buffer: a range that is full grows where it is when
    // it ends the pool (as the key being read always does), else it moves to the end with twice
    // the room. What ranges leave behind is counted and given back by compaction.
    template <class T>
    class Pool {
      public:
        T* At(uint32_t offset) { return reinterpret_cast<T*>(buffer_.data()) + offset; }
        const T* At(uint32_t offset) const {
            return reinterpret_cast<const T*>(buffer_.data()) + offset;
        }
        size_t Count() const { return buffer_.size() / sizeof(T); }
        size_t Bytes() const { return buffer_.size(); }
        // Room for at least `need` records in the range, keeping its first `used` ones.
        void Grow(uint32_t* first, uint32_t* room, uint32_t used, uint32_t need);
        // A new range of `size` records at the end (not initialised).
        uint32_t Take(uint32_t size);
        void Release(uint32_t room) { garbage_ += room; }
        bool Wasteful() const {
            return garbage_ * sizeof(T) >= (1u << 20) && garbage_ * 2 > Count();
        }
        // Copies the live ranges into a fresh buffer of the right size: `forEachRange` calls
        // its argument with (&first, &room, used) for every range.
        template <class F>
        void Compact(F&& forEachRange) {
            PageBuffer fresh;
            fresh.Reserve((Count() - garbage_) * sizeof(T));
            forEachRange([&](uint32_t* first, uint32_t* room, uint32_t used) {
                const uint32_t at = static_cast<uint32_t>(fresh.size() / sizeof(T));
                fresh.Append(reinterpret_cast<const char*>(At(*first)), used * sizeof(T));
                *first = at;
                *room = used;
            });
            buffer_ = std::move(fresh);
            buffer_.ReleaseSlack();
            garbage_ = 0;
        }
        void Reserve(size_t count) { buffer_.Reserve(count * sizeof(T)); }
        void ReleaseSlack() { buffer_.ReleaseSlack(); }

      private:
        PageBuffer buffer_;
        size_t garbage_ = 0;
    };

    NodeRec& Rec(Node node) { return *nodes_.At(node); }
    const NodeRec& Rec(Node node) const { return *nodes_.At(node); }
    bool IsFree(Node node) const {
        return node >= static_cast<Node>(kRegRootCount) && Rec(node).parent == kNoNode;
    }
    std::string_view Key(Node node) const;
    // `hash` receives the name's hash when the key has an index (then it is computed anyway).
    long FindValue(const NodeRec& rec, std::string_view name, uint32_t* hash) const;
    // Position of `key` among the children of `rec`; `found` whether it is there.
    size_t ChildPosition(const NodeRec& rec, std::string_view key, bool* found) const;
    uint32_t Store(std::string_view bytes);
    uint32_t Store(const uint8_t* data, size_t size);
    Node NewNode(Node parent, std::string_view name, std::string_view key);
    void FreeSubtree(Node node);
    // Builds the value index anew for the key's value count (none for a few values).
    void RebuildIndex(NodeRec& rec);
    void IndexValue(NodeRec& rec, uint32_t position, uint32_t hash);
    ValueRec* Values(const NodeRec& rec) { return values_.At(rec.firstValue); }
    const ValueRec* Values(const NodeRec& rec) const { return values_.At(rec.firstValue); }
    Node* Children(const NodeRec& rec) { return children_.At(rec.firstChild); }
    const Node* Children(const NodeRec& rec) const { return children_.At(rec.firstChild); }

    Pool<NodeRec> nodes_;  // every node, free ones included
    std::vector<Node> free_;
    PageBuffer arena_;
    size_t garbage_ = 0;  // arena bytes no longer referred to
    Pool<ValueRec> values_;
    Pool<Node> children_;
    Pool<uint32_t> slots_;  // the value indexes
    mutable std::string scratch_;
};

// Parses a .reg file into `tree` (which should be empty), with the result of ParseRegText.
std::string ParseRegText(std::string_view bytes, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format);
// The same, reading the file piece by piece.
std::string ParseRegText(RegTextSource* source, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format);
// The whole tree as file bytes, exactly as the tests' reference model writes the same content.
std::string WriteRegText(const KeyTree& tree, const RegFileFormat& format, size_t sizeHint = 0);
// The same bytes in a page buffer (no copy into a string); `sizeHint` is their expected size.
PageBuffer WriteRegFile(const KeyTree& tree, const RegFileFormat& format, size_t sizeHint);

}  // namespace registry

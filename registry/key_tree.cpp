#include "registry/key_tree.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace registry {

namespace {

constexpr size_t kIndexFrom = 8;  // keys with more values than this get a hash index

int CompareKeys(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    if (int c = n ? std::memcmp(a.data(), b.data(), n) : 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// FNV-1a of the name's comparison key, so names equal without regard to case hash alike.
uint32_t NameHash(std::string_view name) {
    const uint8_t* key = NameKeyTable();
    uint32_t h = 2166136261u;
    for (char c : name) {
        h ^= key[static_cast<uint8_t>(c)];
        h *= 16777619u;
    }
    return h;
}

}  // namespace

KeyTree::KeyTree() : nodes_(kRegRootCount) {}

std::string_view KeyTree::Name(Node node) const {
    const NodeRec& rec = nodes_[node];
    return std::string_view(arena_.data() + rec.name, rec.nameSize);
}

std::string_view KeyTree::Key(Node node) const {
    const NodeRec& rec = nodes_[node];
    return std::string_view(arena_.data() + rec.name + rec.nameSize, rec.nameSize);
}

size_t KeyTree::SubkeyCount(Node node) const {
    const NodeRec& rec = nodes_[node];
    return rec.children.size() - rec.firstChild;
}

KeyTree::Node KeyTree::SubkeyAt(Node node, size_t index) const {
    const NodeRec& rec = nodes_[node];
    return index < rec.children.size() - rec.firstChild ? rec.children[rec.firstChild + index]
                                                        : kNoNode;
}

size_t KeyTree::ChildPosition(const NodeRec& rec, std::string_view key, bool* found) const {
    const Node* begin = rec.children.data() + rec.firstChild;
    const size_t count = rec.children.size() - rec.firstChild;
    *found = false;
    // Files list keys in name order, so a new key most often goes last.
    if (count == 0)
        return 0;
    const int last = CompareKeys(Key(begin[count - 1]), key);
    if (last < 0)
        return count;
    if (last == 0) {
        *found = true;
        return count - 1;
    }
    size_t lo = 0, hi = count - 1;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (CompareKeys(Key(begin[mid]), key) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    *found = CompareKeys(Key(begin[lo]), key) == 0;
    return lo;
}

KeyTree::Node KeyTree::FindSubkey(Node node, std::string_view name) const {
    scratch_.clear();
    AppendNameKey(name, &scratch_);
    bool found = false;
    const NodeRec& rec = nodes_[node];
    const size_t pos = ChildPosition(rec, scratch_, &found);
    return found ? rec.children[rec.firstChild + pos] : kNoNode;
}

bool KeyTree::IsNamed(Node node, std::string_view name) const {
    const NodeRec& rec = nodes_[node];
    if (rec.nameSize != name.size())
        return false;
    if (std::memcmp(arena_.data() + rec.name, name.data(), name.size()) == 0)
        return true;
    const char* key = arena_.data() + rec.name + rec.nameSize;
    const uint8_t* table = NameKeyTable();
    for (size_t i = 0; i < name.size(); ++i)
        if (static_cast<uint8_t>(key[i]) != table[static_cast<uint8_t>(name[i])])
            return false;
    return true;
}

uint32_t KeyTree::Store(std::string_view bytes) {
    if (arena_.size() + bytes.size() > 0xFFFFFFF0u)
        throw std::length_error("the registry holds more than 4 GB of names and data");
    const uint32_t offset = static_cast<uint32_t>(arena_.size());
    arena_.Append(bytes.data(), bytes.size());
    return offset;
}

uint32_t KeyTree::Store(const uint8_t* data, size_t size) {
    return Store(std::string_view(reinterpret_cast<const char*>(data), size));
}

KeyTree::Node KeyTree::NewNode(Node parent, std::string_view name, std::string_view key) {
    const uint32_t offset = Store(name);
    Store(key);
    Node id;
    if (!free_.empty()) {
        id = free_.back();
        free_.pop_back();
    } else {
        id = static_cast<Node>(nodes_.size());
        nodes_.emplace_back();
    }
    NodeRec& rec = nodes_[id];
    rec.parent = parent;
    rec.name = offset;
    rec.nameSize = static_cast<uint32_t>(name.size());
    return id;
}

KeyTree::Node KeyTree::AddSubkey(Node node, std::string_view name, bool* created) {
    scratch_.clear();
    AppendNameKey(name, &scratch_);
    bool found = false;
    const size_t pos = ChildPosition(nodes_[node], scratch_, &found);
    if (created)
        *created = !found;
    if (found)
        return nodes_[node].children[nodes_[node].firstChild + pos];
    const Node child = NewNode(node, name, scratch_);
    NodeRec& rec = nodes_[node];  // after NewNode, which may move the nodes
    std::vector<Node>& c = rec.children;
    if (pos == 0 && rec.firstChild > 0) {
        c[--rec.firstChild] = child;
        return child;
    }
    if (rec.firstChild > 0 && rec.firstChild * 2 > c.size()) {
        c.erase(c.begin(), c.begin() + rec.firstChild);
        rec.firstChild = 0;
    }
    c.insert(c.begin() + rec.firstChild + pos, child);
    return child;
}

void KeyTree::RemoveSubkey(Node parent, Node child) {
    NodeRec& rec = nodes_[parent];
    bool found = false;
    const size_t pos = ChildPosition(rec, Key(child), &found);
    if (!found || rec.children[rec.firstChild + pos] != child)
        return;
    std::vector<Node>& c = rec.children;
    const size_t count = c.size() - rec.firstChild;
    // Close the gap from the nearer end.
    if (pos < count / 2) {
        std::copy_backward(c.begin() + rec.firstChild, c.begin() + rec.firstChild + pos,
                           c.begin() + rec.firstChild + pos + 1);
        ++rec.firstChild;
    } else {
        c.erase(c.begin() + rec.firstChild + pos);
    }
    if (rec.firstChild == c.size()) {
        std::vector<Node>().swap(c);
        rec.firstChild = 0;
    }
    FreeSubtree(child);
}

void KeyTree::FreeSubtree(Node top) {
    std::vector<Node> pending{top};
    while (!pending.empty()) {
        const Node node = pending.back();
        pending.pop_back();
        NodeRec& rec = nodes_[node];
        pending.insert(pending.end(), rec.children.begin() + rec.firstChild, rec.children.end());
        garbage_ += 2 * rec.nameSize;
        for (uint32_t i = 0; i < rec.valueCount; ++i)
            garbage_ += Values(rec)[i].nameSize + Values(rec)[i].dataSize;
        poolGarbage_ += rec.valueRoom;
        rec = NodeRec{};
        free_.push_back(node);
    }
}

KeyTree::ValueView KeyTree::ValueAt(Node node, size_t index) const {
    const ValueRec& v = Values(nodes_[node])[index];
    return ValueView{std::string_view(arena_.data() + v.name, v.nameSize), v.type,
                     reinterpret_cast<const uint8_t*>(arena_.data()) + v.data, v.dataSize};
}

long KeyTree::FindValue(Node node, std::string_view name) const {
    return FindValue(node, name, NameHash(name));
}

long KeyTree::FindValue(Node node, std::string_view name, uint32_t hash) const {
    const NodeRec& rec = nodes_[node];
    auto matches = [&](const ValueRec& v) {
        return v.hash == hash && v.nameSize == name.size() &&
               NamesEqual(std::string_view(arena_.data() + v.name, v.nameSize), name);
    };
    if (!rec.valueIndex.empty()) {
        const size_t mask = rec.valueIndex.size() - 1;
        for (size_t i = hash & mask; rec.valueIndex[i] != 0; i = (i + 1) & mask) {
            const uint32_t pos = rec.valueIndex[i] - 1;
            if (matches(Values(rec)[pos]))
                return static_cast<long>(pos);
        }
        return -1;
    }
    const ValueRec* values = Values(rec);
    for (size_t i = 0; i < rec.valueCount; ++i)
        if (matches(values[i]))
            return static_cast<long>(i);
    return -1;
}

void KeyTree::IndexValue(NodeRec& rec, uint32_t position) {
    const size_t mask = rec.valueIndex.size() - 1;
    size_t i = Values(rec)[position].hash & mask;
    while (rec.valueIndex[i] != 0)
        i = (i + 1) & mask;
    rec.valueIndex[i] = position + 1;
}

void KeyTree::RebuildIndex(NodeRec& rec) {
    if (rec.valueCount <= kIndexFrom) {
        std::vector<uint32_t>().swap(rec.valueIndex);
        return;
    }
    size_t size = 16;
    while (size < rec.valueCount * 2)
        size *= 2;
    rec.valueIndex.assign(size, 0);
    for (uint32_t i = 0; i < rec.valueCount; ++i)
        IndexValue(rec, i);
}

void KeyTree::SetValue(Node node, std::string_view name, uint32_t type, const uint8_t* data,
                       size_t size) {
    const uint32_t hash = NameHash(name);
    const long found = FindValue(node, name, hash);
    if (found >= 0) {
        ValueRec& v = Values(nodes_[node])[found];
        v.type = type;
        if (size <= v.dataSize) {
            std::memmove(arena_.data() + v.data, data, size);
            garbage_ += v.dataSize - size;
        } else {
            garbage_ += v.dataSize;
            v.data = Store(data, size);
        }
        v.dataSize = static_cast<uint32_t>(size);
        return;
    }
    const uint32_t nameOffset = Store(name);
    const uint32_t dataOffset = Store(data, size);
    NodeRec& rec = nodes_[node];
    MakeRoom(rec);
    Values(rec)[rec.valueCount++] = ValueRec{nameOffset, static_cast<uint32_t>(name.size()),
                                             dataOffset, static_cast<uint32_t>(size),
                                             type,       hash};
    if (rec.valueCount > kIndexFrom) {
        if (rec.valueIndex.size() < rec.valueCount * 2)
            RebuildIndex(rec);
        else
            IndexValue(rec, rec.valueCount - 1);
    }
}

void KeyTree::MakeRoom(NodeRec& rec) {
    const size_t poolCount = PoolCount();
    if (rec.valueCount < rec.valueRoom)
        return;
    if (rec.firstValue + rec.valueRoom == poolCount && rec.valueRoom > 0) {
        // Last in the pool (as every key is while a file is read): it grows in place.
        pool_.Resize(pool_.size() + sizeof(ValueRec));
        ++rec.valueRoom;
        return;
    }
    const uint32_t room = std::max<uint32_t>(1, rec.valueCount * 2);
    pool_.Resize(pool_.size() + room * sizeof(ValueRec));
    ValueRec* moved = reinterpret_cast<ValueRec*>(pool_.data()) + poolCount;
    if (rec.valueCount > 0)
        std::memcpy(moved, Values(rec), rec.valueCount * sizeof(ValueRec));
    poolGarbage_ += rec.valueRoom;
    rec.firstValue = static_cast<uint32_t>(poolCount);
    rec.valueRoom = room;
}

bool KeyTree::RemoveValue(Node node, std::string_view name) {
    const long found = FindValue(node, name);
    if (found < 0)
        return false;
    NodeRec& rec = nodes_[node];
    ValueRec* values = Values(rec);
    garbage_ += values[found].nameSize + values[found].dataSize;
    std::memmove(values + found, values + found + 1,
                 (rec.valueCount - static_cast<size_t>(found) - 1) * sizeof(ValueRec));
    --rec.valueCount;
    RebuildIndex(rec);
    return true;
}

void KeyTree::Reserve(size_t bytes) {
    arena_.Reserve(bytes);
    pool_.Reserve(bytes / 40 * sizeof(ValueRec));
    nodes_.reserve(bytes / 256);
}

void KeyTree::CompactPool() {
    PageBuffer fresh;
    fresh.Reserve(pool_.size() - poolGarbage_ * sizeof(ValueRec));
    for (size_t i = 0; i < nodes_.size(); ++i) {
        NodeRec& rec = nodes_[i];
        if (i >= static_cast<size_t>(kRegRootCount) && rec.parent == kNoNode)
            continue;  // free
        const uint32_t at = static_cast<uint32_t>(fresh.size() / sizeof(ValueRec));
        fresh.Append(reinterpret_cast<const char*>(Values(rec)), rec.valueCount * sizeof(ValueRec));
        rec.firstValue = at;
        rec.valueRoom = rec.valueCount;
    }
    pool_ = std::move(fresh);
    poolGarbage_ = 0;
}

void KeyTree::CompactIfWasteful() {
    if (poolGarbage_ * sizeof(ValueRec) >= (1u << 20) && poolGarbage_ * 2 > PoolCount())
        CompactPool();
    if (garbage_ < (1u << 20) || garbage_ * 2 < arena_.size())
        return;
    PageBuffer fresh;
    fresh.Reserve(arena_.size() - garbage_);
    auto move = [&](uint32_t* offset, size_t size) {
        const uint32_t at = static_cast<uint32_t>(fresh.size());
        fresh.Append(arena_.data() + *offset, size);
        *offset = at;
    };
    for (size_t i = 0; i < nodes_.size(); ++i) {
        NodeRec& rec = nodes_[i];
        if (i >= static_cast<size_t>(kRegRootCount) && rec.parent == kNoNode)
            continue;  // free
        move(&rec.name, 2 * rec.nameSize);
        for (uint32_t v = 0; v < rec.valueCount; ++v) {
            move(&Values(rec)[v].name, Values(rec)[v].nameSize);
            move(&Values(rec)[v].data, Values(rec)[v].dataSize);
        }
    }
    arena_ = std::move(fresh);
    garbage_ = 0;
}

namespace {

// Builds the tree line by line. Consecutive key lines mostly share their leading keys, so the
// path of the last key line is kept and only what differs is looked up.
class TreeSink : public RegTextSink {
  public:
    explicit TreeSink(KeyTree* tree) : tree_(tree) {}

    void Key(RegRoot root, const std::vector<std::string_view>& path, bool remove, int) override {
        if (remove) {
            KeyTree::Node node = KeyTree::Root(root);
            for (size_t i = 0; node != KeyTree::kNoNode && i + 1 < path.size(); ++i)
                node = tree_->FindSubkey(node, path[i]);
            if (node != KeyTree::kNoNode) {
                const KeyTree::Node child = tree_->FindSubkey(node, path.back());
                if (child != KeyTree::kNoNode)
                    tree_->RemoveSubkey(node, child);
            }
            stack_.clear();
            return;
        }
        size_t i = 0;
        if (!stack_.empty() && stack_[0] == KeyTree::Root(root)) {
            while (i < path.size() && i + 1 < stack_.size() &&
                   tree_->IsNamed(stack_[i + 1], path[i]))
                ++i;
            stack_.resize(i + 1);
        } else {
            stack_.assign(1, KeyTree::Root(root));
        }
        for (; i < path.size(); ++i)
            stack_.push_back(tree_->AddSubkey(stack_.back(), path[i]));
    }
    void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
               int) override {
        tree_->SetValue(stack_.back(), name, type, data, size);
    }
    void RemoveValue(std::string_view name, int) override {
        tree_->RemoveValue(stack_.back(), name);
    }

  private:
    KeyTree* tree_;
    std::vector<KeyTree::Node> stack_;  // the current key and its parents up to the root
};

void WriteNode(const KeyTree& tree, KeyTree::Node node, bool isRoot, std::string* path,
               RegTextWriter* writer) {
    const size_t values = tree.ValueCount(node);
    if (!isRoot || values > 0) {
        writer->BeginKey(*path);
        for (size_t i = 0; i < values; ++i) {
            const KeyTree::ValueView v = tree.ValueAt(node, i);
            writer->Value(v.name, v.type, v.data, v.size);
        }
        writer->EndKey();
    }
    const size_t length = path->size();
    const size_t count = tree.SubkeyCount(node);
    for (size_t i = 0; i < count; ++i) {
        const KeyTree::Node child = tree.SubkeyAt(node, i);
        path->push_back('\\');
        path->append(tree.Name(child));
        WriteNode(tree, child, false, path, writer);
        path->resize(length);
    }
}

}  // namespace

std::string ParseRegText(std::string_view bytes, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format) {
    const bool utf16 = bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF;
    tree->Reserve(utf16 ? bytes.size() / 2 : bytes.size());
    TreeSink sink(tree);
    return ParseRegText(bytes, fileName, format, &sink);
}

std::string ParseRegText(RegTextSource* source, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format) {
    tree->Reserve(source->SizeHint());
    TreeSink sink(tree);
    return ParseRegText(source, fileName, format, &sink);
}

PageBuffer WriteRegFile(const KeyTree& tree, const RegFileFormat& format, size_t sizeHint) {
    RegTextWriter writer(format, sizeHint);
    std::string path;
    for (int i = 0; i < kRegRootCount; ++i) {
        path = RegRootName(static_cast<RegRoot>(i));
        WriteNode(tree, KeyTree::Root(static_cast<RegRoot>(i)), true, &path, &writer);
    }
    return writer.FinishBytes();
}

std::string WriteRegText(const KeyTree& tree, const RegFileFormat& format, size_t sizeHint) {
    return std::string(WriteRegFile(tree, format, sizeHint).View());
}

}  // namespace registry

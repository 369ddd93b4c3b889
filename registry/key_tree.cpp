#include "registry/key_tree.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <type_traits>
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

// A hash of the name in which names equal without regard to case hash alike, eight bytes at a
// time. Each byte counts by a stand-in that all its case forms share: ASCII with the 0x20 bit
// set, other bytes by their comparison key (never equal to an ASCII byte's folded form). It is
// our own rather than a library's because it folds as it reads: a library hash needs the folded
// name in a buffer first, which made value names of 3 to 26 bytes three times slower to hash
// (24 ns against 8 ns), and this file is built for Windows too, where Debian has no xxHash.
uint64_t Canonical(uint64_t word) {
    if ((word & 0x8080808080808080ull) == 0)
        return word | 0x2020202020202020ull;
    const uint8_t* key = NameKeyTable();
    uint64_t out = 0;
    for (int i = 0; i < 8; ++i) {
        const uint8_t b = static_cast<uint8_t>(word >> (8 * i));
        const uint64_t c = b < 0x80 ? (b | 0x20u) : (0x80u | key[b]);
        out |= (c & 0xFF) << (8 * i);
    }
    return out;
}

uint32_t NameHash(std::string_view name) {
    const char* p = name.data();
    const size_t n = name.size();
    uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    auto mix = [&h](uint64_t word) {
        h = (h ^ Canonical(word)) * 0xff51afd7ed558ccdull;
        h ^= h >> 29;
    };
    uint64_t w = 0;
    if (n >= 8) {
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::memcpy(&w, p + i, 8);
            mix(w);
        }
        if (i < n) {
            std::memcpy(&w, p + n - 8, 8);  // the last eight bytes, overlapping
            mix(w);
        }
    } else {
        for (size_t k = 0; k < n; ++k)
            w |= uint64_t{static_cast<uint8_t>(p[k])} << (8 * k);
        mix(w);
    }
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return static_cast<uint32_t>(h);
}

}  // namespace

template <class T>
uint32_t KeyTree::Pool<T>::Take(uint32_t size) {
    const size_t at = Count();
    if (at + size > 0xFFFFFFF0u)
        throw std::length_error("the registry holds too many keys or values");
    buffer_.Resize(buffer_.size() + size * sizeof(T));
    return static_cast<uint32_t>(at);
}

template <class T>
void KeyTree::Pool<T>::Grow(uint32_t* first, uint32_t* room, uint32_t used, uint32_t need) {
    if (need <= *room)
        return;
    if (*room > 0 && *first + *room == Count()) {
        Take(need - *room);
        *room = need;
        return;
    }
    const uint32_t fresh = Take(std::max(need, used * 2));
    if (used > 0)
        std::memcpy(At(fresh), At(*first), used * sizeof(T));
    Release(*room);
    *first = fresh;
    *room = std::max(need, used * 2);
}

KeyTree::KeyTree() {
    static_assert(std::is_trivially_copyable_v<NodeRec> && std::is_trivially_copyable_v<ValueRec>);
    nodes_.Take(kRegRootCount);
    for (int i = 0; i < kRegRootCount; ++i)
        Rec(static_cast<Node>(i)) = NodeRec{};
}

std::string_view KeyTree::Name(Node node) const {
    const NodeRec& rec = Rec(node);
    return std::string_view(arena_.data() + rec.name, rec.nameSize);
}

std::string_view KeyTree::Key(Node node) const {
    const NodeRec& rec = Rec(node);
    return std::string_view(arena_.data() + rec.name + rec.nameSize, rec.nameSize);
}

size_t KeyTree::SubkeyCount(Node node) const {
    return Rec(node).childCount;
}

KeyTree::Node KeyTree::SubkeyAt(Node node, size_t index) const {
    const NodeRec& rec = Rec(node);
    return index < rec.childCount ? Children(rec)[index] : kNoNode;
}

size_t KeyTree::ChildPosition(const NodeRec& rec, std::string_view key, bool* found) const {
    const Node* begin = Children(rec);
    const size_t count = rec.childCount;
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
    const NodeRec& rec = Rec(node);
    const size_t pos = ChildPosition(rec, scratch_, &found);
    return found ? Children(rec)[pos] : kNoNode;
}

bool KeyTree::IsNamed(Node node, std::string_view name) const {
    const NodeRec& rec = Rec(node);
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
        id = nodes_.Take(1);
    }
    NodeRec& rec = Rec(id);
    rec = NodeRec{};
    rec.parent = parent;
    rec.name = offset;
    rec.nameSize = static_cast<uint32_t>(name.size());
    return id;
}

KeyTree::Node KeyTree::AddSubkey(Node node, std::string_view name, bool* created) {
    scratch_.clear();
    AppendNameKey(name, &scratch_);
    bool found = false;
    const size_t pos = ChildPosition(Rec(node), scratch_, &found);
    if (created)
        *created = !found;
    if (found)
        return Children(Rec(node))[pos];
    const Node child = NewNode(node, name, scratch_);
    NodeRec& rec = Rec(node);  // after NewNode, which may move the nodes
    children_.Grow(&rec.firstChild, &rec.childRoom, rec.childCount, rec.childCount + 1);
    Node* c = Children(rec);
    std::memmove(c + pos + 1, c + pos, (rec.childCount - pos) * sizeof(Node));
    c[pos] = child;
    ++rec.childCount;
    return child;
}

void KeyTree::RemoveSubkey(Node parent, Node child) {
    NodeRec& rec = Rec(parent);
    bool found = false;
    const size_t pos = ChildPosition(rec, Key(child), &found);
    if (!found || Children(rec)[pos] != child)
        return;
    Node* c = Children(rec);
    // Close the gap from the nearer end; a range that gives up its first place gives up that
    // room, so removing the first subkey again and again costs O(1) each.
    if (pos < rec.childCount / 2) {
        std::memmove(c + 1, c, pos * sizeof(Node));
        ++rec.firstChild;
        --rec.childRoom;
        children_.Release(1);
    } else {
        std::memmove(c + pos, c + pos + 1, (rec.childCount - pos - 1) * sizeof(Node));
    }
    --rec.childCount;
    if (rec.childCount == 0) {
        children_.Release(rec.childRoom);
        rec.firstChild = 0;
        rec.childRoom = 0;
    }
    FreeSubtree(child);
}

void KeyTree::FreeSubtree(Node top) {
    std::vector<Node> pending{top};
    while (!pending.empty()) {
        const Node node = pending.back();
        pending.pop_back();
        NodeRec& rec = Rec(node);
        pending.insert(pending.end(), Children(rec), Children(rec) + rec.childCount);
        garbage_ += 2 * rec.nameSize;
        for (uint32_t i = 0; i < rec.valueCount; ++i)
            garbage_ += Values(rec)[i].nameSize + Values(rec)[i].dataSize;
        values_.Release(rec.valueRoom);
        children_.Release(rec.childRoom);
        slots_.Release(rec.slotCount);
        rec = NodeRec{};
        free_.push_back(node);
    }
}

KeyTree::ValueView KeyTree::ValueAt(Node node, size_t index) const {
    const ValueRec& v = Values(Rec(node))[index];
    return ValueView{std::string_view(arena_.data() + v.name, v.nameSize), v.type,
                     reinterpret_cast<const uint8_t*>(arena_.data()) + v.data, v.dataSize};
}

long KeyTree::FindValue(Node node, std::string_view name) const {
    uint32_t hash = 0;
    return FindValue(Rec(node), name, &hash);
}

long KeyTree::FindValue(const NodeRec& rec, std::string_view name, uint32_t* hash) const {
    const ValueRec* values = Values(rec);
    // Names of one key mostly differ in their last character: that is looked at first.
    const uint8_t* key = NameKeyTable();
    const uint8_t last = name.empty() ? 0 : key[static_cast<uint8_t>(name.back())];
    auto matches = [&](const ValueRec& v) {
        if (v.nameSize != name.size())
            return false;
        const char* stored = arena_.data() + v.name;
        if (name.empty())
            return true;
        if (key[static_cast<uint8_t>(stored[v.nameSize - 1])] != last)
            return false;
        return std::memcmp(stored, name.data(), name.size()) == 0 ||
               NamesEqual(std::string_view(stored, v.nameSize), name);
    };
    if (rec.slotCount > 0) {
        const uint32_t* slots = slots_.At(rec.firstSlot);
        const size_t mask = rec.slotCount - 1;
        *hash = NameHash(name);
        for (size_t i = *hash & mask; slots[i] != 0; i = (i + 1) & mask) {
            const uint32_t pos = slots[i] - 1;
            if (matches(values[pos]))
                return static_cast<long>(pos);
        }
        return -1;
    }
    for (size_t i = 0; i < rec.valueCount; ++i)
        if (matches(values[i]))
            return static_cast<long>(i);
    return -1;
}

void KeyTree::IndexValue(NodeRec& rec, uint32_t position, uint32_t hash) {
    uint32_t* slots = slots_.At(rec.firstSlot);
    const size_t mask = rec.slotCount - 1;
    size_t i = hash & mask;
    while (slots[i] != 0)
        i = (i + 1) & mask;
    slots[i] = position + 1;
}

void KeyTree::RebuildIndex(NodeRec& rec) {
    if (rec.valueCount <= kIndexFrom) {
        slots_.Release(rec.slotCount);
        rec.firstSlot = 0;
        rec.slotCount = 0;
        return;
    }
    // At most half full.
    uint32_t size = 16;
    while (size < rec.valueCount * 2)
        size *= 2;
    if (size != rec.slotCount) {
        uint32_t room = rec.slotCount;
        slots_.Grow(&rec.firstSlot, &room, 0, size);
        if (room > size)
            slots_.Release(room - size);  // a smaller index keeps the front of its range
        rec.slotCount = size;
    }
    std::memset(slots_.At(rec.firstSlot), 0, size * sizeof(uint32_t));
    for (uint32_t i = 0; i < rec.valueCount; ++i) {
        const ValueRec& v = Values(rec)[i];
        IndexValue(rec, i, NameHash(std::string_view(arena_.data() + v.name, v.nameSize)));
    }
}

void KeyTree::SetValue(Node node, std::string_view name, uint32_t type, const uint8_t* data,
                       size_t size) {
    uint32_t hash = 0;
    const long found = FindValue(Rec(node), name, &hash);
    if (found >= 0) {
        ValueRec& v = Values(Rec(node))[found];
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
    NodeRec& rec = Rec(node);
    values_.Grow(&rec.firstValue, &rec.valueRoom, rec.valueCount, rec.valueCount + 1);
    Values(rec)[rec.valueCount++] = ValueRec{nameOffset, static_cast<uint32_t>(name.size()),
                                             dataOffset, static_cast<uint32_t>(size), type};
    if (rec.valueCount > kIndexFrom) {
        if (rec.slotCount < rec.valueCount * 2)
            RebuildIndex(rec);
        else
            IndexValue(rec, rec.valueCount - 1, hash);  // the index was there: FindValue set it
    }
}

bool KeyTree::RemoveValue(Node node, std::string_view name) {
    NodeRec& rec = Rec(node);
    uint32_t hash = 0;
    const long found = FindValue(rec, name, &hash);
    if (found < 0)
        return false;
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
    values_.Reserve(bytes / 40);
    children_.Reserve(bytes / 400);
    nodes_.Reserve(bytes / 400);
}

void KeyTree::ReleaseSlack() {
    nodes_.ReleaseSlack();
    arena_.ReleaseSlack();
    values_.ReleaseSlack();
    children_.ReleaseSlack();
    slots_.ReleaseSlack();
}

void KeyTree::CompactIfWasteful() {
    auto live = [this](auto&& each) {
        for (size_t i = 0; i < nodes_.Count(); ++i)
            if (!IsFree(static_cast<Node>(i)))
                each(Rec(static_cast<Node>(i)));
    };
    if (values_.Wasteful())
        values_.Compact([&](auto&& move) {
            live([&](NodeRec& rec) { move(&rec.firstValue, &rec.valueRoom, rec.valueCount); });
        });
    if (children_.Wasteful())
        children_.Compact([&](auto&& move) {
            live([&](NodeRec& rec) { move(&rec.firstChild, &rec.childRoom, rec.childCount); });
        });
    if (slots_.Wasteful())
        slots_.Compact([&](auto&& move) {
            live([&](NodeRec& rec) {
                uint32_t room = rec.slotCount;
                move(&rec.firstSlot, &room, rec.slotCount);
            });
        });
    if (garbage_ < (1u << 20) || garbage_ * 2 < arena_.size())
        return;
    PageBuffer fresh;
    fresh.Reserve(arena_.size() - garbage_);
    auto move = [&](uint32_t* offset, size_t size) {
        const uint32_t at = static_cast<uint32_t>(fresh.size());
        fresh.Append(arena_.data() + *offset, size);
        *offset = at;
    };
    live([&](NodeRec& rec) {
        move(&rec.name, 2 * rec.nameSize);
        for (uint32_t v = 0; v < rec.valueCount; ++v) {
            move(&Values(rec)[v].name, Values(rec)[v].nameSize);
            move(&Values(rec)[v].data, Values(rec)[v].dataSize);
        }
    });
    arena_ = std::move(fresh);
    arena_.ReleaseSlack();
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
    std::string result = ParseRegText(bytes, fileName, format, &sink);
    tree->ReleaseSlack();
    return result;
}

std::string ParseRegText(RegTextSource* source, const std::string& fileName, KeyTree* tree,
                         RegFileFormat* format) {
    tree->Reserve(source->SizeHint());
    TreeSink sink(tree);
    std::string result = ParseRegText(source, fileName, format, &sink);
    tree->ReleaseSlack();
    return result;
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

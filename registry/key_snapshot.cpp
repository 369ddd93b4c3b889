#include "registry/key_snapshot.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>

#include "registry/registry_key.h"
#include "registry/side_by_side.h"
#include "registry/value_query.h"
#include "registry/write_hook.h"

namespace registry {
namespace {

constexpr std::size_t kFirstBufferSize = 256;
// Far beyond anything a registry holds; only bound the retries.
constexpr std::size_t kLongestName = std::size_t{1} << 20;
constexpr std::size_t kLargestData = std::size_t{1} << 30;
constexpr int kMaxAttempts = 32;
// An enumeration gives up after this many unreadable entries in a row.
constexpr int kMaxFailuresInRow = 16;

// A store may count the terminating zero in the reported length; it is no part of the name.
std::string NameFrom(const std::vector<char>& buffer, DWORD size) {
    std::string name(buffer.data(), std::min<std::size_t>(size, buffer.size()));
    while (!name.empty() && name.back() == '\0') {
        name.pop_back();
    }
    return name;
}

LONG EnumSubkeyName(HKEY key, DWORD index, std::vector<char>& buffer, std::string* name) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        FILETIME written{};
        const LONG result =
            RegEnumKeyExA(key, index, buffer.data(), &size, nullptr, nullptr, nullptr, &written);
        if (result == ERROR_MORE_DATA && buffer.size() < kLongestName) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (result == ERROR_SUCCESS) {
            *name = NameFrom(buffer, size);
        }
        return result;
    }
    return ERROR_MORE_DATA;
}

// The value at `index`, name and data whole. ERROR_MORE_DATA does not say whether the name or
// the data did not fit; a reported data size beyond the buffer says the data, otherwise both
// buffers grow.
LONG EnumValue(HKEY key, DWORD index, std::vector<char>& nameBuffer, std::vector<BYTE>& dataBuffer,
               RegValue* value) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DWORD nameSize = static_cast<DWORD>(nameBuffer.size());
        DWORD dataSize = static_cast<DWORD>(dataBuffer.size());
        DWORD type = REG_NONE;
        const LONG result = RegEnumValueA(key, index, nameBuffer.data(), &nameSize, nullptr, &type,
                                          dataBuffer.data(), &dataSize);
        if (result == ERROR_MORE_DATA) {
            if (dataSize > dataBuffer.size() && dataSize <= kLargestData) {
                dataBuffer.resize(dataSize);
                continue;
            }
            bool grew = false;
            if (nameBuffer.size() < kLongestName) {
                nameBuffer.resize(nameBuffer.size() * 4);
                grew = true;
            }
            if (dataBuffer.size() < kLargestData) {
                dataBuffer.resize(dataBuffer.size() * 2);
                grew = true;
            }
            if (grew) {
                continue;
            }
        }
        if (result == ERROR_SUCCESS) {
            value->name = NameFrom(nameBuffer, nameSize);
            value->type = type;
            value->data.assign(
                dataBuffer.begin(),
                dataBuffer.begin() + std::min<std::size_t>(dataSize, dataBuffer.size()));
        }
        return result;
    }
    return ERROR_MORE_DATA;
}

template <class List, class Pred>
bool EraseFirst(List& list, Pred pred) {
    const auto it = std::find_if(list.begin(), list.end(), pred);
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
}

}  // namespace

const RegValue* KeySnapshot::FindValue(std::string_view valueName) const {
    for (const RegValue& value : values) {
        if (NamesEqual(value.name, valueName)) {
            return &value;
        }
    }
    return nullptr;
}

KeySnapshot* KeySnapshot::FindSubkey(std::string_view subkeyName) {
    for (KeySnapshot& subkey : subkeys) {
        if (NamesEqual(subkey.name, subkeyName)) {
            return &subkey;
        }
    }
    return nullptr;
}

const KeySnapshot* KeySnapshot::FindSubkey(std::string_view subkeyName) const {
    return const_cast<KeySnapshot*>(this)->FindSubkey(subkeyName);
}

bool KeySnapshot::RemoveValue(std::string_view valueName) {
    return EraseFirst(values, [&](const RegValue& v) { return NamesEqual(v.name, valueName); });
}

bool KeySnapshot::RemoveSubkey(std::string_view subkeyName) {
    return EraseFirst(subkeys,
                      [&](const KeySnapshot& k) { return NamesEqual(k.name, subkeyName); });
}

bool HoldsText(const RegValue& value, std::string_view text) {
    return value.type == REG_SZ && value.data.size() == text.size() + 1 && value.data.back() == 0 &&
           std::equal(text.begin(), text.end(), value.data.begin());
}

bool HoldsNumber(const RegValue& value, std::uint32_t number) {
    return DwordOf(value) == number;
}

void TakeOverText(KeySnapshot& kept, std::string_view valueName, std::string_view text) {
    if (const RegValue* stored = kept.FindValue(valueName);
        stored != nullptr && HoldsText(*stored, text)) {
        kept.RemoveValue(valueName);
    }
}

void TakeOverNumber(KeySnapshot& kept, std::string_view valueName, std::uint32_t number) {
    if (const RegValue* stored = kept.FindValue(valueName);
        stored != nullptr && HoldsNumber(*stored, number)) {
        kept.RemoveValue(valueName);
    }
}

std::optional<KeySnapshot> KeySnapshot::TakeSubkey(std::string_view subkeyName) {
    const auto it = std::find_if(subkeys.begin(), subkeys.end(), [&](const KeySnapshot& k) {
        return NamesEqual(k.name, subkeyName);
    });
    if (it == subkeys.end()) {
        return std::nullopt;
    }
    KeySnapshot taken = std::move(*it);
    subkeys.erase(it);
    return taken;
}

LONG ReadSubkeyName(HKEY key, DWORD index, std::string* name) {
    std::vector<char> buffer(256);
    return EnumSubkeyName(key, index, buffer, name);
}

std::vector<std::string> ReadSubkeyNames(HKEY key, LONG* firstError) {
    if (firstError != nullptr) {
        *firstError = ERROR_SUCCESS;
    }
    std::vector<std::string> names;
    std::vector<char> nameBuffer(kFirstBufferSize);
    int failuresInRow = 0;
    for (DWORD index = 0;; ++index) {
        std::string name;
        const LONG result = EnumSubkeyName(key, index, nameBuffer, &name);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            if (firstError != nullptr && *firstError == ERROR_SUCCESS) {
                *firstError = result;
            }
            if (++failuresInRow >= kMaxFailuresInRow) {
                break;
            }
            continue;
        }
        failuresInRow = 0;
        names.push_back(std::move(name));
    }
    return names;
}

LONG ReadValue(HKEY key, DWORD index, RegValue* value) {
    std::vector<char> nameBuffer(kFirstBufferSize);
    std::vector<BYTE> dataBuffer(kFirstBufferSize);
    return EnumValue(key, index, nameBuffer, dataBuffer, value);
}

LONG ReadKeyValues(HKEY key, KeySnapshot* snapshot) {
    snapshot->values.clear();
    LONG firstError = ERROR_SUCCESS;
    std::vector<char> nameBuffer(kFirstBufferSize);
    std::vector<BYTE> dataBuffer(kFirstBufferSize);
    int failuresInRow = 0;
    for (DWORD index = 0;; ++index) {
        RegValue value;
        const LONG result = EnumValue(key, index, nameBuffer, dataBuffer, &value);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            if (firstError == ERROR_SUCCESS) {
                firstError = result;
            }
            if (++failuresInRow >= kMaxFailuresInRow) {
                break;
            }
            continue;
        }
        failuresInRow = 0;
        snapshot->values.push_back(std::move(value));
    }
    return firstError;
}

std::vector<std::string> ReadSubkeyNamesThatFit(HKEY key, DWORD bufferSize) {
    std::vector<std::string> names;
    std::vector<char> nameBuffer(bufferSize == 0 ? 1 : bufferSize);
    int failuresInRow = 0;
    for (DWORD index = 0;; ++index) {
        DWORD size = static_cast<DWORD>(nameBuffer.size());
        FILETIME written{};
        const LONG result = RegEnumKeyExA(key, index, nameBuffer.data(), &size, nullptr, nullptr,
                                          nullptr, &written);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result == ERROR_MORE_DATA) {
            continue;  // too long for the buffer: passed over, never cut
        }
        if (result != ERROR_SUCCESS) {
            if (++failuresInRow >= kMaxFailuresInRow) {
                break;
            }
            continue;
        }
        failuresInRow = 0;
        names.push_back(NameFrom(nameBuffer, size));
    }
    return names;
}

LONG ReadKeySubkeys(HKEY key, KeySnapshot* snapshot) {
    snapshot->subkeys.clear();
    // All names first: reading a subtree between two enumeration steps would make a store
    // start each step from the beginning.
    LONG firstError = ERROR_SUCCESS;
    std::vector<std::string> names = ReadSubkeyNames(key, &firstError);
    auto note = [&](LONG result) {
        if (firstError == ERROR_SUCCESS) {
            firstError = result;
        }
    };
    for (std::string& name : names) {
        HKEY subkey = nullptr;
        const LONG opened = RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &subkey);
        if (opened != ERROR_SUCCESS) {
            note(opened);
            continue;
        }
        KeySnapshot child;
        child.name = std::move(name);
        note(ReadKeySnapshot(subkey, &child));
        RegCloseKey(subkey);
        snapshot->subkeys.push_back(std::move(child));
    }
    return firstError;
}

LONG ReadKeySnapshot(HKEY key, KeySnapshot* snapshot) {
    const LONG valuesRead = ReadKeyValues(key, snapshot);
    const LONG subkeysRead = ReadKeySubkeys(key, snapshot);
    return valuesRead != ERROR_SUCCESS ? valuesRead : subkeysRead;
}

namespace {

// One subtree to read on a thread of its own: the subkey `into->name` of `parent`.
struct SubtreeRead {
    HKEY parent = nullptr;
    KeySnapshot* into = nullptr;
    LONG result = ERROR_SUCCESS;
    bool opened = true;
};

// Below this many subkeys a key's children are too few to keep the threads busy, so they are
// planned one level further down.
constexpr std::size_t kFewSubkeys = 16;
constexpr int kPlanLevels = 2;

// Reads the values and subkey names of `key` into `snapshot` here, and plans the reads of its
// subtrees into `reads`; keys it opens for them go to `opened`, to be closed once all are read.
LONG PlanSubtreeReads(HKEY key, KeySnapshot* snapshot, int levels, std::vector<HKEY>& opened,
                      std::vector<SubtreeRead>& reads) {
    LONG firstError = ReadKeyValues(key, snapshot);
    LONG namesRead = ERROR_SUCCESS;
    std::vector<std::string> names = ReadSubkeyNames(key, &namesRead);
    if (firstError == ERROR_SUCCESS) {
        firstError = namesRead;
    }
    snapshot->subkeys.clear();
    snapshot->subkeys.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        snapshot->subkeys[i].name = std::move(names[i]);
    }
    // The vector is complete: the pointers below stay valid.
    const bool descend = levels > 0 && snapshot->subkeys.size() < kFewSubkeys;
    for (KeySnapshot& child : snapshot->subkeys) {
        if (!descend) {
            reads.push_back(SubtreeRead{key, &child});
            continue;
        }
        HKEY subkey = nullptr;
        const LONG result = RegOpenKeyExA(key, child.name.c_str(), 0, KEY_READ, &subkey);
        if (result != ERROR_SUCCESS) {
            reads.push_back(SubtreeRead{key, &child, result, false});
            continue;
        }
        opened.push_back(subkey);
        const LONG planned = PlanSubtreeReads(subkey, &child, levels - 1, opened, reads);
        if (firstError == ERROR_SUCCESS) {
            firstError = planned;
        }
    }
    return firstError;
}

// Drops the subkeys that could not be opened, as ReadKeySubkeys leaves them out.
void DropUnopened(KeySnapshot& snapshot, const std::vector<const KeySnapshot*>& unopened) {
    // Each subkey is looked at where it was planned, before anything moves.
    std::vector<KeySnapshot> kept;
    for (KeySnapshot& subkey : snapshot.subkeys) {
        if (std::find(unopened.begin(), unopened.end(), &subkey) == unopened.end()) {
            DropUnopened(subkey, unopened);
            kept.push_back(std::move(subkey));
        }
    }
    snapshot.subkeys = std::move(kept);
}

}  // namespace

LONG ReadKeySnapshotSideBySide(HKEY key, KeySnapshot* snapshot) {
    if (!ReadsRunSideBySide()) {
        return ReadKeySnapshot(key, snapshot);
    }
    std::vector<HKEY> opened;
    std::vector<SubtreeRead> reads;
    LONG firstError = PlanSubtreeReads(key, snapshot, kPlanLevels, opened, reads);
    std::vector<std::function<void()>> jobs;
    jobs.reserve(reads.size());
    for (SubtreeRead& read : reads) {
        if (!read.opened) {
            continue;
        }
        jobs.push_back([&read] {
            HKEY subkey = nullptr;
            read.result = RegOpenKeyExA(read.parent, read.into->name.c_str(), 0, KEY_READ, &subkey);
            if (read.result != ERROR_SUCCESS) {
                read.opened = false;
                return;
            }
            read.result = ReadKeySnapshot(subkey, read.into);
            RegCloseKey(subkey);
        });
    }
    ReadSideBySide(jobs);
    for (HKEY subkey : opened) {
        RegCloseKey(subkey);
    }
    std::vector<const KeySnapshot*> unopened;
    for (const SubtreeRead& read : reads) {
        if (firstError == ERROR_SUCCESS) {
            firstError = read.result;
        }
        if (!read.opened) {
            unopened.push_back(read.into);
        }
    }
    if (!unopened.empty()) {
        DropUnopened(*snapshot, unopened);
    }
    return firstError;
}

LONG SetRawValue(HKEY key, const std::string& name, DWORD type, const std::vector<uint8_t>& data) {
    // The byte after the data is the caller's; 0xFF keeps the system from counting in a zero.
    std::vector<BYTE> copy(data.begin(), data.end());
    copy.push_back(0xFF);
    return RegSetValueExA(key, name.c_str(), 0, type, copy.data(), static_cast<DWORD>(data.size()));
}

LONG WriteKeySnapshot(HKEY parent, const std::string& path, const KeySnapshot& snapshot) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG created = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_READ | KEY_WRITE, nullptr, &key, &disposition);
    if (created != ERROR_SUCCESS) {
        return created;
    }
    LONG firstError = ERROR_SUCCESS;
    auto note = [&](LONG result) {
        if (firstError == ERROR_SUCCESS) {
            firstError = result;
        }
    };
    for (const RegValue& value : snapshot.values) {
        note(SetRawValue(key, value.name, value.type, value.data));
    }
    for (const KeySnapshot& subkey : snapshot.subkeys) {
        note(WriteKeySnapshot(key, subkey.name, subkey));
    }
    RegCloseKey(key);
    return firstError;
}

namespace {

// Deletes `path` below `key` ("" for `key` itself), whose contents `known` holds, deepest first:
// one call per key. A key that is refused (a subkey the copy does not know of, made since or
// unreadable by name) is deleted by walking it.
LONG DeleteKnownTree(HKEY key, const std::string& path, const KeySnapshot& known) {
    for (const KeySnapshot& subkey : known.subkeys) {
        // Gone already (another program) is as good as deleted; should it be a name the ANSI
        // calls cannot reach, the walk of its parent below meets it and fails as it would.
        const LONG r =
            DeleteKnownTree(key, path.empty() ? subkey.name : path + '\\' + subkey.name, subkey);
        if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND)
            return r;
    }
    const LONG result = RegDeleteKeyA(key, path.c_str());
    return result == ERROR_SUCCESS ? result : DeleteKeyTree(key, path.c_str());
}

struct KnownAreas {
    std::vector<KnownArea> areas;
    unsigned long changes = 0;  // RegistryChangeCount() when they were last current
};

KnownAreas& Known() {
    static KnownAreas known;
    return known;
}

// The known contents of `path` and the subkey list that holds them (none for an area's own key,
// whose place in the areas is `area`); no contents when they are stale or not known.
struct KnownKey {
    KeySnapshot* contents = nullptr;
    std::vector<KeySnapshot>* siblings = nullptr;
    std::size_t area = 0;
};
KnownKey FindKnown(const std::string& path) {
    KnownAreas& known = Known();
    if (known.areas.empty() || known.changes != RegistryChangeCount())
        return {};
    const std::vector<std::string> parts = SplitKeyPath(path);
    for (std::size_t a = 0; a < known.areas.size(); ++a) {
        const std::vector<std::string> top = SplitKeyPath(known.areas[a].path);
        if (!PathCovers(top, parts))
            continue;
        KnownKey found{&known.areas[a].contents, nullptr, a};
        for (std::size_t i = top.size(); i < parts.size() && found.contents; ++i) {
            found.siblings = &found.contents->subkeys;
            found.contents = found.contents->FindSubkey(parts[i]);
        }
        if (found.contents)
            return found;
    }
    return {};
}

LONG DeleteAndRestoreFailure(HKEY key, const KeySnapshot& before) {
    const LONG result = DeleteKnownTree(key, "", before);
    if (result != ERROR_SUCCESS) {
        // The key itself is still there (it goes last), so its handle takes the copy back.
        WriteKeySnapshot(key, "", before);
    }
    return result;
}

}  // namespace

void KnowAreas(std::vector<KnownArea> areas) {
    Known().areas = std::move(areas);
    Known().changes = RegistryChangeCount();
}

void ForgetAreas() {
    Known().areas.clear();
}

LONG DeleteKeyTreeOrRestore(HKEY key) {
    KeySnapshot before;
    ReadKeySnapshot(key, &before);
    return DeleteAndRestoreFailure(key, before);
}

namespace {

// DeleteKeyTreeOrRestore of `path` below `parent`; `machinePath`, when given, is where it lies
// below HKEY_LOCAL_MACHINE, to find it in the known areas.
LONG DeleteAt(HKEY parent, const std::string& path, const std::string* machinePath) {
    RegistryKey key;
    if (key.Open(parent, path.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    const KnownKey known = machinePath ? FindKnown(*machinePath) : KnownKey{};
    if (!known.contents) {
        return DeleteKeyTreeOrRestore(key);
    }
    const LONG result = DeleteAndRestoreFailure(key, *known.contents);
    if (result == ERROR_SUCCESS) {
        // What is known stays what is stored: the key is gone.
        if (known.siblings) {
            known.siblings->erase(known.siblings->begin() +
                                  (known.contents - known.siblings->data()));
        } else {
            Known().areas.erase(Known().areas.begin() + static_cast<std::ptrdiff_t>(known.area));
        }
        Known().changes = RegistryChangeCount();
    }
    return result;
}

}  // namespace

LONG DeleteKeyTreeOrRestore(HKEY root, const std::string& path) {
    return DeleteAt(root, path, root == HKEY_LOCAL_MACHINE ? &path : nullptr);
}

namespace {

std::string NameKey(std::string_view name) {
    std::string key;
    AppendNameKey(name, &key);
    return key;
}

// The subkeys of `key` by the comparison keys of their names.
std::unordered_map<std::string, const KeySnapshot*> SubkeysByName(const KeySnapshot& key) {
    std::unordered_map<std::string, const KeySnapshot*> byName;
    byName.reserve(key.subkeys.size());
    for (const KeySnapshot& subkey : key.subkeys) {
        byName.emplace(NameKey(subkey.name), &subkey);
    }
    return byName;
}

bool SameValue(const RegValue& a, const RegValue& b) {
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

// A stored subkey the wanted tree does not hold, or holds in other capitals: `path` below the
// replaced key.
struct Removal {
    std::string path;
    const KeySnapshot* stored = nullptr;
};

void PlanRemovals(const KeySnapshot& stored, const KeySnapshot& wanted, const std::string& prefix,
                  std::vector<Removal>& removals) {
    const auto wantedByName = SubkeysByName(wanted);
    for (const KeySnapshot& old : stored.subkeys) {
        const std::string path = prefix.empty() ? old.name : prefix + '\\' + old.name;
        const auto now = wantedByName.find(NameKey(old.name));
        if (now == wantedByName.end() || now->second->name != old.name) {
            removals.push_back(Removal{path, &old});
        } else {
            PlanRemovals(old, *now->second, path, removals);
        }
    }
}

// Deletes every removal below `key`. When one is refused, it and those deleted before it are
// written back from their copies, so nothing has changed; the refusal's code.
LONG Remove(HKEY key, const std::vector<Removal>& removals) {
    for (std::size_t i = 0; i < removals.size(); ++i) {
        const LONG result = DeleteKnownTree(key, removals[i].path, *removals[i].stored);
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) {
            continue;
        }
        for (std::size_t j = 0; j <= i; ++j) {
            WriteKeySnapshot(key, removals[j].path, *removals[j].stored);
        }
        return result;
    }
    return ERROR_SUCCESS;
}

// A key of the replaced tree, opened only when something in it is to be written: a save that
// changes one entry of thousands opens only the keys on its way.
class LazyKey {
  public:
    explicit LazyKey(HKEY open) : key_(open) {}
    LazyKey(LazyKey& parent, const std::string& name) : parent_(&parent), name_(&name) {}
    ~LazyKey() {
        if (owned_) {
            RegCloseKey(key_);
        }
    }
    LazyKey(const LazyKey&) = delete;
    LazyKey& operator=(const LazyKey&) = delete;

    // The open key, or the result code of the open that failed.
    LONG Get(HKEY* key) {
        if (key_ == nullptr && result_ == ERROR_SUCCESS) {
            HKEY parent = nullptr;
            result_ = parent_->Get(&parent);
            if (result_ == ERROR_SUCCESS) {
                result_ = RegOpenKeyExA(parent, name_->c_str(), 0, KEY_READ | KEY_WRITE, &key_);
                owned_ = result_ == ERROR_SUCCESS;
            }
        }
        *key = key_;
        return result_;
    }

  private:
    LazyKey* parent_ = nullptr;
    const std::string* name_ = nullptr;
    HKEY key_ = nullptr;
    bool owned_ = false;
    LONG result_ = ERROR_SUCCESS;
};

// The values of `stored` to delete and of `wanted` to set so that the key holds wanted's.
void PlanValues(const KeySnapshot& stored, const KeySnapshot& wanted, ValueOrder order,
                std::vector<const RegValue*>& deletes, std::vector<const RegValue*>& sets) {
    if (order == ValueOrder::AsWanted) {
        std::size_t kept = 0;
        while (kept < stored.values.size() && kept < wanted.values.size() &&
               stored.values[kept].name == wanted.values[kept].name) {
            ++kept;
        }
        for (std::size_t i = kept; i < stored.values.size(); ++i) {
            deletes.push_back(&stored.values[i]);
        }
        for (std::size_t i = 0; i < wanted.values.size(); ++i) {
            if (i >= kept || !SameValue(stored.values[i], wanted.values[i])) {
                sets.push_back(&wanted.values[i]);
            }
        }
        return;
    }
    // By name: a value stored as wanted stays where it is.
    std::unordered_map<std::string, const RegValue*> storedByName, wantedByName;
    for (const RegValue& value : stored.values) {
        storedByName.emplace(NameKey(value.name), &value);
    }
    for (const RegValue& value : wanted.values) {
        wantedByName.emplace(NameKey(value.name), &value);
    }
    for (const RegValue& value : stored.values) {
        const auto now = wantedByName.find(NameKey(value.name));
        if (now == wantedByName.end() || now->second->name != value.name) {
            deletes.push_back(&value);
        }
    }
    for (const RegValue& value : wanted.values) {
        const auto old = storedByName.find(NameKey(value.name));
        if (old == storedByName.end() || !SameValue(*old->second, value)) {
            sets.push_back(&value);
        }
    }
}

// Makes the key `key`, which holds `stored` less the removals, hold `wanted`.
LONG WriteDifference(LazyKey& key, const KeySnapshot& stored, const KeySnapshot& wanted,
                     ValueOrder order) {
    LONG firstError = ERROR_SUCCESS;
    auto note = [&](LONG result) {
        if (firstError == ERROR_SUCCESS) {
            firstError = result;
        }
    };
    std::vector<const RegValue*> deletes, sets;
    PlanValues(stored, wanted, order, deletes, sets);
    HKEY open = nullptr;
    if (!deletes.empty() || !sets.empty()) {
        if (const LONG opened = key.Get(&open)) {
            return opened;
        }
    }
    for (const RegValue* value : deletes) {
        note(RegDeleteValueA(open, value->name.c_str()));
    }
    for (const RegValue* value : sets) {
        note(SetRawValue(open, value->name, value->type, value->data));
    }
    const auto storedByName = SubkeysByName(stored);
    for (const KeySnapshot& now : wanted.subkeys) {
        const auto old = storedByName.find(NameKey(now.name));
        if (old == storedByName.end() || old->second->name != now.name) {
            // New, or removed to be made again.
            const LONG opened = key.Get(&open);
            note(opened != ERROR_SUCCESS ? opened : WriteKeySnapshot(open, now.name, now));
            continue;
        }
        LazyKey subkey(key, now.name);
        note(WriteDifference(subkey, *old->second, now, order));
    }
    return firstError;
}

}  // namespace

namespace {

// ReplaceKeyTree of `path` below `parent`; `machinePath` as for DeleteAt.
LONG ReplaceAt(HKEY parent, const std::string& path, const std::string* machinePath,
               const KeySnapshot& wanted, WhenEmpty whenEmpty, ValueOrder order) {
    if (wanted.Empty() && whenEmpty == WhenEmpty::Delete) {
        return DeleteAt(parent, path, machinePath);
    }
    RegistryKey key;
    const LONG opened = key.Open(parent, path.c_str(), KEY_ALL_ACCESS);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return WriteKeySnapshot(parent, path, wanted);
    }
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    const KnownKey known = machinePath ? FindKnown(*machinePath) : KnownKey{};
    KeySnapshot read;
    if (!known.contents) {
        if (const LONG r = ReadKeySnapshot(key, &read)) {
            return r;
        }
    }
    const KeySnapshot& stored = known.contents ? *known.contents : read;
    // Every delete first: a refused one leaves everything as it was.
    std::vector<Removal> removals;
    PlanRemovals(stored, wanted, "", removals);
    if (const LONG removed = Remove(key, removals)) {
        return removed;
    }
    LazyKey top(key);
    const LONG result = WriteDifference(top, stored, wanted, order);
    if (known.contents && result == ERROR_SUCCESS) {
        // What is known stays what is stored (by name; see ValueOrder::Free).
        std::string name = std::move(known.contents->name);
        *known.contents = wanted;
        known.contents->name = std::move(name);
        Known().changes = RegistryChangeCount();
    }
    return result;
}

}  // namespace

LONG ReplaceKeyTree(HKEY root, const std::string& path, const KeySnapshot& wanted,
                    WhenEmpty whenEmpty, ValueOrder order) {
    return ReplaceAt(root, path, root == HKEY_LOCAL_MACHINE ? &path : nullptr, wanted, whenEmpty,
                     order);
}

LONG ReplaceKeyTreeBelow(HKEY parent, std::string_view parentPath, const std::string& path,
                         const KeySnapshot& wanted, WhenEmpty whenEmpty, ValueOrder order) {
    const std::string machinePath = std::string(parentPath) + '\\' + path;
    return ReplaceAt(parent, path, &machinePath, wanted, whenEmpty, order);
}

void Settle(KeySnapshot& key) {
    if (key.values.size() > 1) {
        std::unordered_map<std::string, std::size_t> place;
        std::vector<RegValue> settled;
        settled.reserve(key.values.size());
        for (RegValue& value : key.values) {
            const auto [at, first] = place.try_emplace(NameKey(value.name), settled.size());
            if (first) {
                settled.push_back(std::move(value));
            } else {
                settled[at->second].type = value.type;
                settled[at->second].data = std::move(value.data);
            }
        }
        key.values = std::move(settled);
    }
    if (key.subkeys.size() > 1) {
        std::unordered_map<std::string, std::size_t> place;
        std::vector<KeySnapshot> settled;
        settled.reserve(key.subkeys.size());
        for (KeySnapshot& subkey : key.subkeys) {
            const auto [at, first] = place.try_emplace(NameKey(subkey.name), settled.size());
            if (first) {
                settled.push_back(std::move(subkey));
                continue;
            }
            KeySnapshot& into = settled[at->second];
            for (RegValue& value : subkey.values) {
                into.values.push_back(std::move(value));
            }
            for (KeySnapshot& below : subkey.subkeys) {
                into.subkeys.push_back(std::move(below));
            }
        }
        key.subkeys = std::move(settled);
    }
    for (KeySnapshot& subkey : key.subkeys) {
        Settle(subkey);
    }
}

KeySnapshot& AddKeyPath(KeySnapshot& parent, std::string_view path) {
    KeySnapshot* key = &parent;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) {
            key->subkeys.push_back(
                KeySnapshot{std::string(path.substr(start, end - start)), {}, {}});
            key = &key->subkeys.back();
        }
        start = end + 1;
    }
    return *key;
}

RegValue TextValue(std::string name, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    RegValue value{std::move(name), REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

RegValue NumberValue(std::string name, std::uint32_t number) {
    return RegValue{std::move(name),
                    REG_DWORD,
                    {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                     static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)}};
}

LONG WriteKeyValues(HKEY parent, const std::string& path, const KeySnapshot& snapshot) {
    if (snapshot.values.empty()) {
        return ERROR_SUCCESS;
    }
    KeySnapshot values;
    values.values = snapshot.values;
    return WriteKeySnapshot(parent, path, values);
}

}  // namespace registry

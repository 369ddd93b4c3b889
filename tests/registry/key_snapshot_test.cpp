// Raw key snapshots: a subtree read whole and written back elsewhere must come out the same,
// whatever its names and data look like. Runs against the .reg file store and, on Windows,
// the system registry; value enumeration order is not asserted.

#include "registry/key_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "registry/registry_key.h"
#include "registry/side_by_side.h"
#include "registry/write_hook.h"
#include "tests/support/registry_fixture.h"

namespace {

using registry::KeySnapshot;
using testsupport::TempRegistry;

const std::string kBase = "Software\\VORNA Roboter GmbH\\Test";

// The export of `path` with its own name replaced by `as`, so two copies compare equal.
std::string ExportAs(const TempRegistry& reg, const std::string& path, const std::string& as) {
    std::string text = reg.Export(HKEY_LOCAL_MACHINE, path);
    const std::string from = "[HKEY_LOCAL_MACHINE\\" + path;
    const std::string to = "[HKEY_LOCAL_MACHINE\\" + as;
    for (std::string::size_type pos = 0; (pos = text.find(from, pos)) != std::string::npos;) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

TEST(KeySnapshotTest, OddValuesAndDeepKeysRoundTrip) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kBase + "]\n");
    const std::string source = kBase + "\\Source";
    const std::string longValueName(300, 'v');
    const std::string longKeyName(200, 'k');  // beyond the 100 bytes pages read names into
    std::vector<uint8_t> bigData(5000);
    for (std::size_t i = 0; i < bigData.size(); ++i) {
        bigData[i] = static_cast<uint8_t>(i * 7);
    }
    {
        RegistryKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, source.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "", REG_SZ, {'t', 'o', 'p', 0}), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, longValueName, REG_BINARY, bigData), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "NoZero", REG_SZ, {'A', 'B'}), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "EmptyBinary", REG_BINARY, {}), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "EmptyText", REG_SZ, {}), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "Zeros", REG_BINARY, {0, 0, 0}), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "Number", REG_DWORD, {1, 2, 3, 4}), ERROR_SUCCESS);
        ASSERT_EQ(registry::SetRawValue(key, "Odd type", 0x1234, {9}), ERROR_SUCCESS);
        RegistryKey deep;
        ASSERT_EQ(deep.Create(key, (longKeyName + "\\a\\b").c_str()), ERROR_SUCCESS);
        ASSERT_EQ(deep.SetNumber("deep", 42), ERROR_SUCCESS);
        RegistryKey empty;
        ASSERT_EQ(empty.Create(key, "Empty"), ERROR_SUCCESS);
    }
    const std::string before = reg.Export(HKEY_LOCAL_MACHINE, source);

    KeySnapshot snapshot;
    {
        RegistryKey key;
        ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, source.c_str(), KEY_READ), ERROR_SUCCESS);
        EXPECT_EQ(registry::ReadKeySnapshot(key, &snapshot), ERROR_SUCCESS);
    }
    EXPECT_EQ(snapshot.values.size(), 8u);
    const registry::RegValue* big = snapshot.FindValue(std::string(300, 'V'));  // any case
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->name, longValueName);
    EXPECT_EQ(big->type, REG_BINARY);
    EXPECT_EQ(big->data, bigData);
    ASSERT_NE(snapshot.FindValue("emptybinary"), nullptr);
    EXPECT_TRUE(snapshot.FindValue("emptybinary")->data.empty());
    EXPECT_EQ(snapshot.FindValue("Odd type")->type, 0x1234u);
    ASSERT_EQ(snapshot.subkeys.size(), 2u);
    const KeySnapshot* longKey = snapshot.FindSubkey(longKeyName);
    ASSERT_NE(longKey, nullptr);
    EXPECT_EQ(longKey->name, longKeyName);
    ASSERT_NE(longKey->FindSubkey("A"), nullptr);
    ASSERT_NE(longKey->FindSubkey("A")->FindSubkey("b"), nullptr);
    EXPECT_EQ(longKey->FindSubkey("A")->FindSubkey("b")->values.size(), 1u);
    ASSERT_NE(snapshot.FindSubkey("empty"), nullptr);
    EXPECT_TRUE(snapshot.FindSubkey("empty")->Empty());

    // Written elsewhere, the copy holds the same names, types and bytes.
    EXPECT_EQ(registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, kBase + "\\Copy\\Below", snapshot),
              ERROR_SUCCESS);
    EXPECT_EQ(ExportAs(reg, kBase + "\\Copy\\Below", source), before);
    // A text stored without its zero is copied without one.
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, kBase + "\\Copy\\Below", "NoZero")->second,
              (std::vector<uint8_t>{'A', 'B'}));
    const auto emptyText = reg.Value(HKEY_LOCAL_MACHINE, kBase + "\\Copy\\Below", "EmptyText");
    ASSERT_TRUE(emptyText.has_value());
    EXPECT_EQ(emptyText->first, REG_SZ);
    // The source is untouched.
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, source), before);
}

TEST(KeySnapshotTest, WritingIntoAnExistingKeyReplacesOnlyWhatItHolds) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kBase +
                     "\\Target]\n\"Kept\"=\"old\"\n\"Same\"=\"old\"\n"
                     "[HKEY_LOCAL_MACHINE\\" +
                     kBase + "\\Target\\Child]\n\"x\"=dword:00000001\n");
    KeySnapshot snapshot;
    snapshot.values.push_back({"SAME", REG_DWORD, {7, 0, 0, 0}});
    KeySnapshot child;
    child.name = "child";
    child.values.push_back({"y", REG_SZ, {'n', 0}});
    snapshot.subkeys.push_back(child);

    RegistryKey target;
    ASSERT_EQ(target.Open(HKEY_LOCAL_MACHINE, (kBase + "\\Target").c_str()), ERROR_SUCCESS);
    // The empty path writes into the key given.
    EXPECT_EQ(registry::WriteKeySnapshot(target, "", snapshot), ERROR_SUCCESS);
    target.Close();
    const std::string header = "[HKEY_LOCAL_MACHINE\\" + kBase + "\\Target";
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kBase + "\\Target"),
              header + "]\n\"Kept\"=\"old\"\n\"Same\"=dword:00000007\n" + header +
                  "\\Child]\n\"x\"=dword:00000001\n\"y\"=\"n\"\n");

    // Taking a subkey hands it over whole and leaves the rest.
    const auto taken = snapshot.TakeSubkey("CHILD");
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->name, "child");
    EXPECT_EQ(taken->values.size(), 1u);
    EXPECT_TRUE(snapshot.subkeys.empty());
    EXPECT_FALSE(snapshot.TakeSubkey("child").has_value());
    EXPECT_TRUE(snapshot.RemoveValue("same"));
    EXPECT_TRUE(snapshot.Empty());
}

}  // namespace

namespace {

// A layout value passes to the page only in the very form its save writes.
TEST(KeySnapshotTest, AValueIsTakenOverOnlyInTheExactFormTheSaveWrites) {
    using Bytes = std::vector<uint8_t>;
    const struct {
        const char* what;
        DWORD type;
        Bytes data;
        bool holdsText;    // as "ab"
        bool holdsNumber;  // as 7
    } cases[] = {
        {"text and one zero", REG_SZ, {'a', 'b', 0}, true, false},
        {"text without its zero", REG_SZ, {'a', 'b'}, false, false},
        {"text with two zeros", REG_SZ, {'a', 'b', 0, 0}, false, false},
        {"expandable text", REG_EXPAND_SZ, {'a', 'b', 0}, false, false},
        {"number", REG_DWORD, {7, 0, 0, 0}, false, true},
        {"another number", REG_DWORD, {7, 0, 0, 1}, false, false},
        {"short number", REG_DWORD, {7, 0, 0}, false, false},
        {"four bytes of binary", REG_BINARY, {7, 0, 0, 0}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const registry::RegValue value{"Name", c.type, c.data};
        EXPECT_EQ(registry::HoldsText(value, "ab"), c.holdsText);
        EXPECT_EQ(registry::HoldsNumber(value, 7), c.holdsNumber);

        KeySnapshot kept;
        kept.values = {value, {"Other", REG_SZ, {'a', 'b', 0}}};
        registry::TakeOverText(kept, "name", "ab");
        registry::TakeOverNumber(kept, "NAME", 7);
        EXPECT_EQ(kept.FindValue("Name") == nullptr, c.holdsText || c.holdsNumber);
        EXPECT_NE(kept.FindValue("Other"), nullptr);
    }
}

// The snapshot as text: names, types and bytes in order, so two reads compare whole.
void Flatten(const KeySnapshot& key, const std::string& path, std::string& out) {
    out += "[" + path + "]\n";
    for (const registry::RegValue& value : key.values) {
        out += value.name + "=" + std::to_string(value.type) + ":";
        for (uint8_t byte : value.data)
            out += std::to_string(byte) + ",";
        out += "\n";
    }
    for (const KeySnapshot& subkey : key.subkeys)
        Flatten(subkey, path + "\\" + subkey.name, out);
}

// Trees of every shape the side-by-side read plans for: keys with few subkeys (planned further
// down), with many (read on their own threads), deep ones, empty ones and values at each level.
TEST(KeySnapshotTest, ASideBySideReadGivesTheSameSnapshot) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kBase + "]\n");
    const std::string area = kBase + "\\Area";
    {
        RegistryKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, area.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString("top", "1"), ERROR_SUCCESS);
        for (int few = 0; few < 3; ++few) {
            for (int many = 0; many < 40; ++many) {
                RegistryKey leaf;
                const std::string path = "Few " + std::to_string(few) + "\\Many " +
                                         std::to_string(many) + (many % 7 == 0 ? "\\a\\b" : "");
                ASSERT_EQ(leaf.Create(key, path.c_str()), ERROR_SUCCESS);
                for (int v = 0; v < many % 5; ++v)
                    ASSERT_EQ(leaf.SetNumber(("v" + std::to_string(v)).c_str(), many * 10 + v),
                              ERROR_SUCCESS);
            }
        }
        RegistryKey empty;
        ASSERT_EQ(empty.Create(key, "Empty"), ERROR_SUCCESS);
    }
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, area.c_str(), KEY_READ), ERROR_SUCCESS);
    KeySnapshot one, sideBySide;
    ASSERT_EQ(registry::ReadKeySnapshot(key, &one), ERROR_SUCCESS);
    ASSERT_EQ(registry::ReadKeySnapshotSideBySide(key, &sideBySide), ERROR_SUCCESS);
    std::string expected, actual;
    Flatten(one, "", expected);
    Flatten(sideBySide, "", actual);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(one.subkeys.size(), 4u);
}

// Every read runs once; a failure is thrown only after all have ended, the first in the list's
// order. Where the store serves one thread (the file store) they run in order on the caller's.
TEST(SideBySide, EveryReadRunsOnceAndTheFirstFailureComesAfterAll) {
    std::mutex lock;
    std::vector<int> ran;
    bool onCallersThread = true;
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::function<void()>> reads;
    for (int i = 0; i < 20; ++i) {
        reads.push_back([&, i] {
            {
                std::lock_guard<std::mutex> guard(lock);
                ran.push_back(i);
                onCallersThread = onCallersThread && std::this_thread::get_id() == caller;
            }
            if (i == 5 || i == 12)
                throw std::runtime_error("read " + std::to_string(i));
        });
    }
    try {
        registry::ReadSideBySide(reads);
        ADD_FAILURE() << "no failure thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "read 5");
    }
    std::vector<int> sorted = ran;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> all(20);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(sorted, all);
    if (!registry::ReadsRunSideBySide()) {
        EXPECT_EQ(ran, all);
        EXPECT_TRUE(onCallersThread);
    }
    registry::ReadSideBySide({});  // nothing to run
}

KeySnapshot Key(std::string name, std::vector<registry::RegValue> values,
                std::vector<KeySnapshot> subkeys = {}) {
    return KeySnapshot{std::move(name), std::move(values), std::move(subkeys)};
}

KeySnapshot ReadBack(const std::string& path) {
    KeySnapshot snapshot;
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) == ERROR_SUCCESS)
        registry::ReadKeySnapshot(key, &snapshot);
    return snapshot;
}

// The values of every key in name order, for a replace whose value order is free.
KeySnapshot ByName(KeySnapshot key) {
    std::sort(key.values.begin(), key.values.end(),
              [](const registry::RegValue& a, const registry::RegValue& b) {
                  return registry::CompareNames(a.name, b.name) < 0;
              });
    for (KeySnapshot& subkey : key.subkeys)
        subkey = ByName(std::move(subkey));
    return key;
}

// A replace must leave exactly what deleting the key and writing the wanted tree leaves (value
// order and the capitals of names included; with the order free, the same values), with a
// change only for what differs. Each case runs with the stored key read, with it known from a
// read just before (as after a journal), and so known and replaced through its open parent; a
// second replace after the first then works from the known copy as it was kept.
TEST(KeySnapshotTest, AReplaceLeavesWhatARewriteLeavesWithCallsOnlyForWhatDiffers) {
    using registry::NumberValue;
    using registry::TextValue;
    const KeySnapshot stored =
        Key("", {TextValue("A", "1"), NumberValue("B", 2), TextValue("C", "3")},
            {Key("Case", {}), Key("Gone", {NumberValue("y", 1)}, {Key("Below", {})}),
             Key("Keep", {NumberValue("x", 1)}, {Key("Deep", {TextValue("", "d")})})});
    auto with = [&](auto change) {
        KeySnapshot wanted = stored;
        change(wanted);
        return wanted;
    };
    const struct {
        const char* what;
        KeySnapshot wanted;
        registry::WhenEmpty whenEmpty;
        unsigned long maxChanges;      // values in order
        unsigned long maxChangesFree;  // values by name
    } cases[] = {
        {"the same", stored, registry::WhenEmpty::Delete, 0, 0},
        {"one value's bytes", with([](KeySnapshot& k) { k.values[1] = NumberValue("B", 7); }),
         registry::WhenEmpty::Delete, 1, 1},
        {"a value's type", with([](KeySnapshot& k) { k.values[2] = NumberValue("C", 3); }),
         registry::WhenEmpty::Delete, 1, 1},
        {"a value put in the middle",
         with([](KeySnapshot& k) { k.values.insert(k.values.begin() + 1, NumberValue("N", 1)); }),
         registry::WhenEmpty::Delete, 5, 1},
        {"a value's capitals", with([](KeySnapshot& k) { k.values[2].name = "c"; }),
         registry::WhenEmpty::Delete, 2, 2},
        {"a value removed", with([](KeySnapshot& k) { k.values.erase(k.values.begin()); }),
         registry::WhenEmpty::Delete, 6, 1},
        {"the values in another order",
         with([](KeySnapshot& k) { std::swap(k.values[0], k.values[2]); }),
         registry::WhenEmpty::Delete, 6, 0},
        {"a deep value", with([](KeySnapshot& k) { k.subkeys[2].subkeys[0].values.clear(); }),
         registry::WhenEmpty::Delete, 1, 1},
        {"a subkey removed", with([](KeySnapshot& k) { k.subkeys.erase(k.subkeys.begin() + 1); }),
         registry::WhenEmpty::Delete, 2, 2},
        {"a subkey's capitals", with([](KeySnapshot& k) { k.subkeys[0].name = "CASE"; }),
         registry::WhenEmpty::Delete, 2, 2},
        {"a subkey added",
         with([](KeySnapshot& k) { k.subkeys.push_back(Key("New", {NumberValue("n", 1)})); }),
         registry::WhenEmpty::Delete, 2, 2},
        {"nothing wanted", KeySnapshot{}, registry::WhenEmpty::Delete, 8, 8},
        {"nothing wanted, kept", KeySnapshot{}, registry::WhenEmpty::Keep, 16, 16},
    };
    enum class Via { Read, Known, KnownBelowParent };
    for (const auto& c : cases) {
        for (const Via via : {Via::Read, Via::Known, Via::KnownBelowParent}) {
            for (const registry::ValueOrder order :
                 {registry::ValueOrder::AsWanted, registry::ValueOrder::Free}) {
                const bool known = via != Via::Read;
                const bool free = order == registry::ValueOrder::Free;
                SCOPED_TRACE(std::string(c.what) + (known ? ", known" : ", read") +
                             (via == Via::KnownBelowParent ? " below its parent" : "") +
                             (free ? ", values by name" : ""));
                TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kBase + "]\n");
                const std::string replaced = kBase + "\\Replaced";
                const std::string rewritten = kBase + "\\Rewritten";
                ASSERT_EQ(registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, replaced, stored), 0);
                ASSERT_EQ(registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, rewritten, stored), 0);
                ASSERT_EQ(registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, rewritten), 0);
                if (!c.wanted.Empty() || c.whenEmpty == registry::WhenEmpty::Keep) {
                    ASSERT_EQ(registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, rewritten, c.wanted),
                              0);
                }
                if (known)
                    registry::KnowAreas({{replaced, ReadBack(replaced)}});

                RegistryKey base;
                ASSERT_EQ(base.Open(HKEY_LOCAL_MACHINE, kBase.c_str(), KEY_READ | KEY_WRITE), 0);
                const auto replace = [&](const KeySnapshot& wanted, registry::WhenEmpty whenEmpty) {
                    return via == Via::KnownBelowParent
                               ? registry::ReplaceKeyTreeBelow(base, kBase, "Replaced", wanted,
                                                               whenEmpty, order)
                               : registry::ReplaceKeyTree(HKEY_LOCAL_MACHINE, replaced, wanted,
                                                          whenEmpty, order);
                };
                const auto flat = [&](const KeySnapshot& key) {
                    std::string text;
                    Flatten(free ? ByName(key) : key, "", text);
                    return text;
                };

                const unsigned long before = registry::RegistryChangeCount();
                EXPECT_EQ(replace(c.wanted, c.whenEmpty), ERROR_SUCCESS);
                EXPECT_LE(registry::RegistryChangeCount() - before,
                          free ? c.maxChangesFree : c.maxChanges);
                EXPECT_EQ(reg.KeyExists(HKEY_LOCAL_MACHINE, replaced),
                          reg.KeyExists(HKEY_LOCAL_MACHINE, rewritten));
                EXPECT_EQ(flat(ReadBack(replaced)), flat(ReadBack(rewritten)));

                // And back again, from what is known now (or read).
                EXPECT_EQ(replace(stored, registry::WhenEmpty::Delete), 0);
                EXPECT_EQ(flat(ReadBack(replaced)), flat(stored));
                registry::ForgetAreas();
            }
        }
    }
}

// What a save's pushes settle into: of names in other capitals, the first one's place and name
// with the last one's type and bytes; subkeys of one name are merged the same way.
TEST(KeySnapshotTest, SettleMakesOfPushesWhatTheRegistryMakesOfWrites) {
    using registry::NumberValue;
    KeySnapshot key = Key("", {NumberValue("a", 1), NumberValue("B", 2), NumberValue("A", 3)},
                          {Key("K", {NumberValue("x", 1)}), Key("Other", {}),
                           Key("k", {NumberValue("X", 2), NumberValue("y", 3)})});
    registry::KeySnapshot& made = registry::AddKeyPath(key, "Other\\Sub\\\\Deeper");
    made.values.push_back(NumberValue("z", 4));
    registry::Settle(key);
    std::string actual;
    Flatten(key, "", actual);
    EXPECT_EQ(actual,
              "[]\na=4:3,0,0,0,\nB=4:2,0,0,0,\n"
              "[\\K]\nx=4:2,0,0,0,\ny=4:3,0,0,0,\n"
              "[\\Other]\n[\\Other\\Sub]\n[\\Other\\Sub\\Deeper]\nz=4:4,0,0,0,\n");
    EXPECT_EQ(&registry::AddKeyPath(key, ""), &key);
    EXPECT_EQ(registry::TextValue("t", std::string("ab\0cd", 5)).data,
              (std::vector<uint8_t>{'a', 'b', 0}));
}

}  // namespace

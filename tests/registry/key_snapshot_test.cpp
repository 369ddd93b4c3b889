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

}  // namespace

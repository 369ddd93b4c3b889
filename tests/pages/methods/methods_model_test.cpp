// The method records and the "ModulProc" layout, against a temporary registry.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pages/methods/method_definition.h"
#include "pages/methods/method_registry.h"
#include "tests/pages/methods/methods_area.h"
#include "tests/support/registry_fixture.h"

namespace {

using methods::MethodDefinition;
using methods::MethodList;
using methods::MethodRegistry;
using testsupport::TempRegistry;
using namespace methodstest;

std::string Export(const TempRegistry& reg) {
    return reg.Export(HKEY_LOCAL_MACHINE, kModulProc);
}

struct Expected {
    std::int32_t number;
    std::string name;
    std::uint32_t item, system, askBefore, active;
    bool keepStoredName = false;
};

void ExpectMethods(const MethodList& loaded, const std::vector<Expected>& expected) {
    ASSERT_EQ(loaded.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MethodDefinition& m = *loaded[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("method " + std::to_string(e.number));
        EXPECT_EQ(m.number, e.number);
        EXPECT_EQ(m.name, e.name);
        EXPECT_EQ(m.itemConditions, e.item);
        EXPECT_EQ(m.systemConditions, e.system);
        EXPECT_EQ(m.askBefore, e.askBefore);
        EXPECT_EQ(m.active, e.active);
        EXPECT_EQ(m.keepStoredName, e.keepStoredName);
    }
}

TEST(MethodTablesTest, EveryRowHasABitOfItsOwnAndOnlyTheUnusedBitsHaveNoRow) {
    const auto bits = [](const auto& table) {
        std::uint32_t all = 0;
        for (const methods::ConditionRow& row : table) {
            EXPECT_EQ(all & row.Mask(), 0u) << row.listText << ": bit used twice";
            all |= row.Mask();
        }
        return all;
    };
    // System bits 3, 7, 17 to 19, 22, 23 and 26 to 31, item bits 6 and 7 belong to no row.
    EXPECT_EQ(bits(methods::kSystemConditions), ~0xfcce0088u);
    EXPECT_EQ(bits(methods::kItemConditions), ~0xc0u);
    EXPECT_EQ(methods::kItemConditions[29].listText, "Protected File");
    EXPECT_EQ(methods::kItemConditions[29].bit, 11);
    EXPECT_EQ(methods::kItemConditions[13].description, "Item is a DAT/SRC file ");
}

// Method keys that each show one reading rule, plus keys the built-in load must pass over.
const std::string kLongName(150, 'n');
const std::string kReadingRules =
    Area(MethodKey(1, "Open", 0x7fff012c, 0x0200ff00, 0, 31) +
         // Conditions of another type read as 0, even a 4-byte binary.
         "[MP\\2]\n@=\"Copy\"\n\"ItemConditions\"=hex:2a,00,00,00\n\"SystemConditions\"=\"12\"\n"
         // Demo missing while User exists: User's flags stay on bit 4.
         "[MP\\3]\n@=\"Delete\"\n"
         "[MP\\3\\Default]\n\"AskBefore\"=dword:00000001\n\"Active\"=dword:00000001\n"
         "[MP\\3\\User]\n\"AskBefore\"=dword:00000001\n\"Active\"=dword:00000000\n"
         // "AskBefore" counts only as 4 bytes of any type; "Active" is enabled unless 4 zero bytes.
         "[MP\\4]\n@=\"Print\"\n"
         "[MP\\4\\Default]\n\"AskBefore\"=dword:00000001\n"
         "[MP\\4\\Demo]\n\"AskBefore\"=hex:01,00,00,00\n\"Active\"=dword:00000000\n"
         "[MP\\4\\User]\n\"AskBefore\"=hex(4):01,00\n\"Active\"=dword:00000005\n"
         "[MP\\4\\Expert]\n\"AskBefore\"=\"1\"\n"
         "[MP\\4\\Admin]\n"
         // Names: none, one longer than the 100-byte buffer, one that is no text.
         "[MP\\5]\n[MP\\6]\n@=\"" +
         kLongName +
         "\"\n"
         "[MP\\7]\n@=dword:00000007\n"
         // Not built-in methods: 0, 07 (not plain decimal), 90 up, no number at all.
         "[MP\\0]\n@=\"Zero\"\n[MP\\07]\n@=\"Seven\"\n[MP\\90]\n@=\"Backup\"\n"
         "[MP\\99]\n@=\"Last\"\n[MP\\100]\n@=\"Hundred\"\n[MP\\x1]\n@=\"Letters\"\n");

TEST(MethodRegistryTest, BuiltInLoadReadsNumbersOneToEightyNineByTheLayoutsRules) {
    TempRegistry reg(kReadingRules);
    MethodList loaded;
    loaded.push_back(methods::MakeDefaultUserMethod(95));  // replaced, not kept
    MethodRegistry::LoadBuiltIn(loaded);
    ExpectMethods(loaded, {
                              {1, "Open", 0x7fff012c, 0x0200ff00, 0, 31},
                              {2, "Copy", 0, 0, 0, 0},
                              {3, "Delete", 0, 0, 1 | 4, 1},
                              {4, "Print", 0, 0, 1 | 2, 1 | 4 | 8 | 16},
                              {5, "", 0, 0, 0, 0, true},
                              {6, kLongName, 0, 0, 0, 0},
                              {7, "", 0, 0, 0, 0, true},
                          });

    // Nothing stored: an empty list, no failure.
    TempRegistry empty("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n");
    MethodRegistry::LoadBuiltIn(loaded);
    EXPECT_TRUE(loaded.empty());
}

TEST(MethodRegistryTest, BuiltInSaveSetsOnlyTheLayoutsValuesInKeysThatStillExist) {
    const std::string foreign = "\"Zoom\"=\"kept\"\n";
    TempRegistry reg(Area(
        MethodKey(1, "Open", 0x7fff012c, 0x0200ff00, 0, 31, foreign) +
        "[MP\\1\\Zeta]\n\"Keep\"=dword:00000001\n" + MethodKey(2, "Copy", 0x10, 0x20, 3, 7) +
        // Conditions stored as text, a level subkey missing: both come out as laid out.
        "[MP\\3]\n@=\"Delete\"\n\"ItemConditions\"=dword:00000001\n\"SystemConditions\"=\"1\"\n"
        "[MP\\3\\Default]\n\"Active\"=dword:00000001\n\"AskBefore\"=dword:00000000\n"
        // A user method and a foreign key stay as they are.
        "[MP\\90]\n@=\"Backup\"\n[MP\\Other]\n@=\"x\"\n"));
    MethodList loaded;
    MethodRegistry::LoadBuiltIn(loaded);
    ASSERT_EQ(loaded.size(), 3u);
    // Edits in memory: the name is never written by this save.
    loaded[0]->itemConditions ^= 0x800;
    loaded[0]->askBefore = 16;
    loaded[0]->active = 0;
    loaded[0]->Rename("Renamed");
    // Another program removes method 2 before "&Apply": it is not brought back.
    {
        RegistryKey root;
        ASSERT_EQ(root.Open(HKEY_LOCAL_MACHINE, kModulProc.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(root.DeleteKeyTree("2"), ERROR_SUCCESS);
    }
    MethodRegistry::SaveBuiltIn(loaded);
    EXPECT_EQ(Export(reg),
              Area(MethodKey(1, "Open", 0x7fff092c, 0x0200ff00, 16, 0, foreign) +
                   "[MP\\1\\Zeta]\n\"Keep\"=dword:00000001\n" + MethodKey(3, "Delete", 1, 0, 0, 1) +
                   "[MP\\90]\n@=\"Backup\"\n[MP\\Other]\n@=\"x\"\n"));
}

TEST(MethodRegistryTest, UserMethodSaveWritesAllTenSlotsAndKeepsNamesItCouldNotRead) {
    const std::string longName(150, 'u');
    TempRegistry reg(
        Area(MethodKey(90, longName, 1, 2, 0, 31) +
             // A name value that is no text, and none at all: left as they are until renamed.
             "[MP\\91]\n@=dword:00000007\n[MP\\92]\n[MP\\93]\n@=hex(1):41,42\n"));
    MethodList loaded;
    MethodRegistry::LoadUserMethods(loaded);
    ASSERT_EQ(loaded.size(), 10u);  // 90 to 99
    EXPECT_EQ(loaded[0]->name, longName);
    for (std::size_t slot : {1u, 2u, 3u}) {
        EXPECT_EQ(loaded[slot]->name, "");
        EXPECT_TRUE(loaded[slot]->keepStoredName);
    }
    loaded[3]->Rename("Named \\ at last");
    MethodRegistry::SaveUserMethods(loaded);

    // The key of method 91 keeps its value of another type where the name would be.
    std::string slot91 = MethodKey(91, "", 0, 0, 0, 0);
    slot91.insert(slot91.find('\n') + 1, "@=dword:00000007\n");
    std::string expected = MethodKey(90, longName, 1, 2, 0, 31) + slot91 +
                           MethodKey(92, "", 0, 0, 0, 0) +
                           MethodKey(93, "Named \\\\ at last", 0, 0, 0, 0);
    for (int n = 94; n <= 99; ++n) {
        expected += MethodKey(n, "ModulProc" + std::to_string(n), 0, 0, 31, 31);
    }
    EXPECT_EQ(Export(reg), Area(expected));
}

}  // namespace

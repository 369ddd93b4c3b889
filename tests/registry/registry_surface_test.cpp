// The registry surface as pages use it: RegistryKey, DeleteKeyTree and the Reg*A calls. Only
// that surface and the test kit are used here, so the same tests run against the .reg file
// store and against the system registry on Windows. Things the platform may do differently and
// the pages must not rely on (value enumeration order, the exact key-name bound, an extra zero
// after string data, the size reported for a string before conversion) are not asserted.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "registry/registry_key.h"
#include "tests/support/registry_fixture.h"

namespace {

using testsupport::TempRegistry;

const char kBase[] = "Software\\VORNA Roboter GmbH\\Test";

// Bytes around a buffer that a call must leave alone.
constexpr unsigned char kGuard = 0xA5;

struct GuardedBuffer {
    explicit GuardedBuffer(size_t size) : bytes(size + 16, kGuard), size(size) {
        std::fill(bytes.begin() + 8, bytes.begin() + 8 + static_cast<long>(size), 'x');
    }
    char* data() { return reinterpret_cast<char*>(bytes.data() + 8); }
    BYTE* bytesData() { return bytes.data() + 8; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < 8; ++i)
            if (bytes[i] != kGuard || bytes[bytes.size() - 1 - i] != kGuard)
                return false;
        return true;
    }
    std::vector<BYTE> bytes;
    size_t size;
};

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<uint8_t> out;
    for (int b : list)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

// What TempRegistry::Value gives back, with the type as a DWORD on every platform.
std::pair<DWORD, std::vector<uint8_t>> Typed(DWORD type, std::vector<uint8_t> data) {
    return {type, std::move(data)};
}

LONG SetRaw(HKEY key, const char* name, DWORD type, const std::vector<uint8_t>& data) {
    return RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

class RegistrySurfaceTest : public ::testing::Test {
  protected:
    RegistrySurfaceTest()
        : reg_(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\Test]
"Text"="abc"
"Number"=dword:0000002a

[HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\Version]
"InstallationDir"="C:\\Vorna"
)") {}

    // Opens the test key with full access for the length of one test.
    HKEY TestKey() {
        if (key_.Handle() == nullptr) {
            EXPECT_EQ(key_.Open(HKEY_LOCAL_MACHINE, kBase), ERROR_SUCCESS);
        }
        return key_;
    }

    std::string Query(const char* name, DWORD bufferSize, LONG* result) {
        GuardedBuffer buffer(bufferSize);
        DWORD count = bufferSize;
        *result = key_.QueryString(name, buffer.data(), &count);
        EXPECT_TRUE(buffer.GuardsIntact());
        return std::string(buffer.data(), strnlen(buffer.data(), bufferSize));
    }

    TempRegistry reg_;
    RegistryKey key_;
};

// ---- RegistryKey: the checked string query ----

TEST_F(RegistrySurfaceTest, QueryStringAcceptsOnlyProperlyTerminatedStrings) {
    TestKey();
    ASSERT_EQ(SetRaw(key_, "Empty", REG_SZ, {}), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "Expand", REG_EXPAND_SZ, Bytes({'%', 'P', '%', 0})), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "Multi", REG_MULTI_SZ, Bytes({'a', 0, 'b', 0, 0})), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "MultiOne", REG_MULTI_SZ, Bytes({0})), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "MultiHalf", REG_MULTI_SZ, Bytes({'a', 0, 'b', 0})), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "Binary", REG_BINARY, Bytes({'a', 0})), ERROR_SUCCESS);

    LONG r = -1;
    EXPECT_EQ(Query("Text", 256, &r), "abc");
    EXPECT_EQ(r, ERROR_SUCCESS);
    // A string stored without its zero is the file store's own test: the system's ANSI calls
    // may add the zero when they convert the text.
    EXPECT_EQ(Query("Number", 256, &r), "");
    EXPECT_EQ(r, ERROR_INVALID_DATA);
    EXPECT_EQ(Query("Missing", 256, &r), "");
    EXPECT_EQ(r, ERROR_INVALID_DATA) << "a missing value is 13, not 2";
    EXPECT_EQ(Query("Empty", 256, &r), "");
    EXPECT_EQ(r, ERROR_SUCCESS);
    EXPECT_EQ(Query("Expand", 256, &r), "%P%");
    EXPECT_EQ(r, ERROR_SUCCESS);
    EXPECT_EQ(Query("Multi", 256, &r), "a");
    EXPECT_EQ(r, ERROR_SUCCESS);
    EXPECT_EQ(Query("MultiOne", 256, &r), "");
    EXPECT_EQ(r, ERROR_SUCCESS);
    EXPECT_EQ(Query("MultiHalf", 256, &r), "");
    EXPECT_EQ(r, ERROR_INVALID_DATA);
    EXPECT_EQ(Query("Binary", 256, &r), "");
    EXPECT_EQ(r, ERROR_INVALID_DATA);
}

TEST_F(RegistrySurfaceTest, QueryStringReportsDataSize) {
    TestKey();
    char buffer[256];
    DWORD count = sizeof buffer;
    ASSERT_EQ(key_.QueryString("Text", buffer, &count), ERROR_SUCCESS);
    EXPECT_EQ(count, 4u);
    // Without a buffer only the result of the platform call comes back.
    count = 0;
    EXPECT_EQ(key_.QueryString("Text", nullptr, &count), ERROR_SUCCESS);
    EXPECT_GE(count, 4u);
    EXPECT_EQ(key_.QueryString("Missing", nullptr, &count), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistrySurfaceTest, QueryStringIntoTooSmallBufferFailsEmptyWithoutOverrun) {
    TestKey();
    ASSERT_EQ(key_.SetString("Long", "0123456789abcdef"), ERROR_SUCCESS);
    for (DWORD size : {1u, 4u, 16u}) {
        LONG r = ERROR_SUCCESS;
        EXPECT_EQ(Query("Long", size, &r), "") << "buffer of " << size;
        EXPECT_NE(r, ERROR_SUCCESS) << "buffer of " << size;
    }
    LONG r = -1;
    EXPECT_EQ(Query("Long", 17, &r), "0123456789abcdef");
    EXPECT_EQ(r, ERROR_SUCCESS);
    // A zero-sized buffer has nothing to empty and must not be written at all.
    GuardedBuffer none(0);
    DWORD count = 0;
    EXPECT_NE(key_.QueryString("Long", none.data(), &count), ERROR_SUCCESS);
    EXPECT_TRUE(none.GuardsIntact());
}

// ---- RegistryKey: open, create, close, set ----

TEST_F(RegistrySurfaceTest, OpenFailureKeepsTheHeldKey) {
    RegistryKey key;
    EXPECT_EQ(key.Close(), ERROR_SUCCESS) << "closing with nothing held";
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kBase), ERROR_SUCCESS);
    const HKEY held = key.Handle();
    EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Nowhere"),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Handle(), held);
    char buffer[16];
    DWORD count = sizeof buffer;
    EXPECT_EQ(key.QueryString("Text", buffer, &count), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(key.Handle(), nullptr);
}

TEST_F(RegistrySurfaceTest, CreateMakesMissingParentsAndSettersStoreTypedData) {
    {
        RegistryKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\A\\B\\C"),
                  ERROR_SUCCESS);
        EXPECT_EQ(key.SetString("Name", "Label"), ERROR_SUCCESS);
        EXPECT_EQ(key.SetString("", "default"), ERROR_SUCCESS);
        EXPECT_EQ(key.SetNumber("Width", 100), ERROR_SUCCESS);
        EXPECT_EQ(key.SetNumber("Big", 0xDEADBEEF), ERROR_SUCCESS);
        EXPECT_EQ(key.SetString("Blank", ""), ERROR_SUCCESS);
    }
    const std::string path = std::string(kBase) + "\\A\\B\\C";
    EXPECT_TRUE(reg_.KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\A\\B"));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path, "Name"),
              Typed(REG_SZ, Bytes({'L', 'a', 'b', 'e', 'l', 0})));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path, "Width"),
              Typed(REG_DWORD, Bytes({100, 0, 0, 0})));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path, "Big"),
              Typed(REG_DWORD, Bytes({0xEF, 0xBE, 0xAD, 0xDE})));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path, "Blank"), Typed(REG_SZ, Bytes({0})));
    EXPECT_EQ(reg_.Export(HKEY_LOCAL_MACHINE, path),
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Test\\A\\B\\C]\n"
              "@=\"default\"\n"
              "\"Big\"=dword:deadbeef\n"
              "\"Blank\"=\"\"\n"
              "\"Name\"=\"Label\"\n"
              "\"Width\"=dword:00000064\n");
}

TEST_F(RegistrySurfaceTest, CreateOpensAnExistingKeyAndReportsTheDisposition) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\New", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
}

// ---- Names: without regard to case, first case kept ----

TEST_F(RegistrySurfaceTest, NamesCompareWithoutCaseAndKeepTheirFirstCase) {
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, "Software\\Vorna Roboter GmbH\\Version"), ERROR_SUCCESS);
    char buffer[64];
    DWORD count = sizeof buffer;
    ASSERT_EQ(key.QueryString("installationdir", buffer, &count), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "C:\\Vorna");

    RegistryKey created;
    ASSERT_EQ(created.Create(HKEY_LOCAL_MACHINE, "software\\vorna roboter gmbh\\TEST\\Level"),
              ERROR_SUCCESS);
    ASSERT_EQ(created.SetNumber("Width", 1), ERROR_SUCCESS);
    ASSERT_EQ(created.SetNumber("WIDTH", 2), ERROR_SUCCESS);
    ASSERT_EQ(created.Create(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\LEVEL\\x"),
              ERROR_SUCCESS);
    EXPECT_EQ(reg_.Export(HKEY_LOCAL_MACHINE, kBase),
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Test]\n"
              "\"Number\"=dword:0000002a\n"
              "\"Text\"=\"abc\"\n"
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Test\\Level]\n"
              "\"Width\"=dword:00000002\n"
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Test\\Level\\x]\n");
}

// ---- Values: byte for byte, sizes and buffers ----

TEST_F(RegistrySurfaceTest, ValuesKeepTypeAndBytesExactly) {
    TestKey();
    const std::vector<uint8_t> binary = Bytes({0, 1, 0, 255, 0});
    const std::vector<uint8_t> odd = Bytes({1, 2, 3});
    ASSERT_EQ(SetRaw(key_, "Binary", REG_BINARY, binary), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "Odd", 0x42, odd), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "None", REG_NONE, {}), ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key_, "Embedded", REG_SZ, Bytes({'a', 0, 'b', 0})), ERROR_SUCCESS);
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "Binary"), Typed(REG_BINARY, binary));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "Odd"), Typed(0x42, odd));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "None"),
              Typed(REG_NONE, std::vector<uint8_t>{}));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "Embedded"),
              Typed(REG_SZ, Bytes({'a', 0, 'b', 0})));
    EXPECT_FALSE(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "Missing").has_value());
    // Replacing a value changes its type and size too.
    ASSERT_EQ(SetRaw(key_, "Binary", REG_DWORD, Bytes({7, 0, 0, 0})), ERROR_SUCCESS);
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "Binary"),
              Typed(REG_DWORD, Bytes({7, 0, 0, 0})));
}

TEST_F(RegistrySurfaceTest, QueryValueExSizesAndBuffers) {
    TestKey();
    const std::vector<uint8_t> binary = Bytes({1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(SetRaw(key_, "Binary", REG_BINARY, binary), ERROR_SUCCESS);

    DWORD type = 99, size = 0;
    EXPECT_EQ(RegQueryValueExA(key_, "Binary", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 8u) << "a null buffer asks for the size";

    GuardedBuffer small(5);
    size = 5;
    EXPECT_EQ(RegQueryValueExA(key_, "Binary", nullptr, &type, small.bytesData(), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u) << "234 reports the size needed";
    EXPECT_TRUE(small.GuardsIntact());

    GuardedBuffer exact(8);
    size = 8;
    EXPECT_EQ(RegQueryValueExA(key_, "Binary", nullptr, &type, exact.bytesData(), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::vector<uint8_t>(exact.bytesData(), exact.bytesData() + 8), binary);
    EXPECT_TRUE(exact.GuardsIntact());

    GuardedBuffer text(2);
    size = 2;
    EXPECT_EQ(RegQueryValueExA(key_, "Text", nullptr, &type, text.bytesData(), &size),
              ERROR_MORE_DATA);
    EXPECT_GE(size, 4u);
    EXPECT_TRUE(text.GuardsIntact());

    // A missing value leaves the count as it was (whether the type is touched differs between
    // platforms; the string query presets it for that reason).
    size = 5;
    EXPECT_EQ(RegQueryValueExA(key_, "Missing", nullptr, &type, small.bytesData(), &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 5u);
    EXPECT_TRUE(small.GuardsIntact());
}

// ---- Enumeration ----

TEST_F(RegistrySurfaceTest, SubkeysEnumerateInCaseInsensitiveOrderThenNoMoreItems) {
    TestKey();
    for (const char* name : {"delta", "Bravo", "alpha", "Charlie", "B2", "a1"}) {
        RegistryKey k;
        ASSERT_EQ(k.Create(key_, name), ERROR_SUCCESS);
    }
    std::vector<std::string> names;
    char buffer[256];
    DWORD index = 0;
    LONG r;
    while (true) {
        DWORD size = sizeof buffer;
        FILETIME written;
        r = RegEnumKeyExA(key_, index, buffer, &size, nullptr, nullptr, nullptr, &written);
        if (r != ERROR_SUCCESS)
            break;
        EXPECT_EQ(size, strlen(buffer)) << "the size returned leaves out the zero";
        names.emplace_back(buffer);
        ++index;
    }
    EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(names, (std::vector<std::string>{"a1", "alpha", "B2", "Bravo", "Charlie", "delta"}));
}

TEST_F(RegistrySurfaceTest, EnumKeyNameBufferTooSmall) {
    TestKey();
    RegistryKey child;
    ASSERT_EQ(child.Create(key_, "Columns"), ERROR_SUCCESS);
    GuardedBuffer small(7);  // "Columns" needs 8 with its zero
    DWORD size = 7;
    EXPECT_EQ(RegEnumKeyExA(key_, 0, small.data(), &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_TRUE(small.GuardsIntact());
    GuardedBuffer exact(8);
    size = 8;
    EXPECT_EQ(RegEnumKeyExA(key_, 0, exact.data(), &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 7u);
    EXPECT_STREQ(exact.data(), "Columns");
    EXPECT_TRUE(exact.GuardsIntact());
}

TEST_F(RegistrySurfaceTest, EnumValuesGivesEveryValueOnceThenNoMoreItems) {
    TestKey();
    ASSERT_EQ(key_.SetString("", "unnamed"), ERROR_SUCCESS);
    std::vector<std::string> names;
    char name[64];
    BYTE data[64];
    LONG r;
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        r = RegEnumValueA(key_, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (r != ERROR_SUCCESS)
            break;
        EXPECT_EQ(nameSize, strlen(name));
        if (std::string(name) == "Number") {
            EXPECT_EQ(type, REG_DWORD);
            EXPECT_EQ(dataSize, 4u);
            EXPECT_EQ(data[0], 42);
        }
        names.emplace_back(name);
    }
    EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"", "Number", "Text"}));
}

TEST_F(RegistrySurfaceTest, EnumValueBuffersTooSmall) {
    RegistryKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\One"),
              ERROR_SUCCESS);
    ASSERT_EQ(SetRaw(key, "Value", REG_BINARY, Bytes({1, 2, 3, 4, 5, 6})), ERROR_SUCCESS);

    GuardedBuffer name(5);  // "Value" needs 6
    GuardedBuffer data(16);
    DWORD nameSize = 5, dataSize = 16, type = 0;
    EXPECT_EQ(
        RegEnumValueA(key, 0, name.data(), &nameSize, nullptr, &type, data.bytesData(), &dataSize),
        ERROR_MORE_DATA);
    EXPECT_TRUE(name.GuardsIntact());
    EXPECT_TRUE(data.GuardsIntact());

    GuardedBuffer bigName(6);
    GuardedBuffer smallData(3);
    nameSize = 6;
    dataSize = 3;
    EXPECT_EQ(RegEnumValueA(key, 0, bigName.data(), &nameSize, nullptr, &type,
                            smallData.bytesData(), &dataSize),
              ERROR_MORE_DATA);
    EXPECT_GE(dataSize, 6u);
    EXPECT_TRUE(bigName.GuardsIntact());
    EXPECT_TRUE(smallData.GuardsIntact());

    GuardedBuffer fullData(6);
    nameSize = 6;
    dataSize = 6;
    EXPECT_EQ(RegEnumValueA(key, 0, bigName.data(), &nameSize, nullptr, &type, fullData.bytesData(),
                            &dataSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(bigName.data(), "Value");
    EXPECT_EQ(nameSize, 5u);
    EXPECT_EQ(dataSize, 6u);
    EXPECT_EQ(fullData.bytesData()[5], 6);
    EXPECT_TRUE(fullData.GuardsIntact());
    EXPECT_EQ(RegEnumValueA(key, 1, bigName.data(), &nameSize, nullptr, &type, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

// ---- Deleting ----

TEST_F(RegistrySurfaceTest, DeleteKeyTreeRemovesAWholeBranchAndNothingElse) {
    for (const char* path :
         {"Tree\\L1a\\L2a\\L3a", "Tree\\L1a\\L2a\\L3b", "Tree\\L1a\\L2b", "Tree\\L1b", "Sibling"}) {
        RegistryKey k;
        ASSERT_EQ(k.Create(TestKey(), path), ERROR_SUCCESS);
        ASSERT_EQ(k.SetNumber("v", 1), ERROR_SUCCESS);
    }
    EXPECT_EQ(DeleteKeyTree(TestKey(), "Tree"), ERROR_SUCCESS);
    EXPECT_FALSE(reg_.KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\Tree"));
    EXPECT_EQ(reg_.Export(HKEY_LOCAL_MACHINE, kBase),
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Test]\n"
              "\"Number\"=dword:0000002a\n"
              "\"Text\"=\"abc\"\n"
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Test\\Sibling]\n"
              "\"v\"=dword:00000001\n");
}

TEST_F(RegistrySurfaceTest, DeleteKeyTreeOfAMissingKeyChangesNothing) {
    const std::string before = reg_.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH");
    EXPECT_EQ(DeleteKeyTree(TestKey(), "Nowhere"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg_.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH"), before);
}

TEST_F(RegistrySurfaceTest, DeleteKeyTreeWithEmptyNameDeletesTheHeldKey) {
    RegistryKey held;
    ASSERT_EQ(held.Create(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\Area\\Sub"),
              ERROR_SUCCESS);
    ASSERT_EQ(held.Open(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\Area"),
              ERROR_SUCCESS);
    EXPECT_EQ(held.DeleteKeyTree(""), ERROR_SUCCESS);
    EXPECT_FALSE(reg_.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Test\\Area"));
    EXPECT_TRUE(reg_.KeyExists(HKEY_LOCAL_MACHINE, kBase));
    // The handle still held now names a deleted key.
    EXPECT_EQ(held.SetNumber("x", 1), ERROR_KEY_DELETED);
    EXPECT_EQ(held.Close(), ERROR_SUCCESS);
}

TEST_F(RegistrySurfaceTest, RegDeleteKeyRefusesKeysWithSubkeys) {
    RegistryKey k;
    ASSERT_EQ(k.Create(TestKey(), "Parent\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key_, "Parent"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(reg_.KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\Parent\\Child"));
    EXPECT_EQ(RegDeleteKeyA(key_, "Parent\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key_, "Parent"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key_, "Parent"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistrySurfaceTest, RegDeleteValueRemovesOneValueWhateverItsCase) {
    ASSERT_EQ(key_.Open(HKEY_LOCAL_MACHINE, kBase, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    ASSERT_EQ(key_.SetString("", "unnamed"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key_, "TEXT"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key_, "Text"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key_, ""), ERROR_SUCCESS);
    EXPECT_EQ(reg_.Export(HKEY_LOCAL_MACHINE, kBase),
              "[HKEY_LOCAL_MACHINE\\" + std::string(kBase) + "]\n\"Number\"=dword:0000002a\n");
    RegistryKey readOnly;
    ASSERT_EQ(readOnly.Open(HKEY_LOCAL_MACHINE, kBase, KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(readOnly, "Number"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(reg_.Value(HKEY_LOCAL_MACHINE, kBase, "Number").has_value());
}

TEST_F(RegistrySurfaceTest, HandlesToADeletedKeyReportKeyDeleted) {
    RegistryKey doomed;
    ASSERT_EQ(doomed.Create(TestKey(), "Doomed"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(key_, "Doomed"), ERROR_SUCCESS);

    DWORD type = 0, size = 4;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExA(doomed, "x", nullptr, &type, data, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(doomed.SetString("x", "y"), ERROR_KEY_DELETED);
    char name[16];
    DWORD nameSize = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(doomed, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValueA(doomed, 0, name, &nameSize, nullptr, &type, nullptr, nullptr),
              ERROR_KEY_DELETED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(doomed, "Child", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &child, nullptr),
              ERROR_KEY_DELETED);
    // A new key of the same name is another key: the old handle stays deleted.
    RegistryKey again;
    ASSERT_EQ(again.Create(key_, "Doomed"), ERROR_SUCCESS);
    EXPECT_EQ(doomed.SetString("x", "y"), ERROR_KEY_DELETED);
    EXPECT_EQ(again.SetString("x", "y"), ERROR_SUCCESS);
}

// ---- RegQueryValueA ----

TEST_F(RegistrySurfaceTest, QueryValueGivesASubkeysUnnamedValueAsText) {
    RegistryKey sort;
    ASSERT_EQ(sort.Create(TestKey(), "List\\Sort"), ERROR_SUCCESS);
    ASSERT_EQ(sort.SetString("", "2"), ERROR_SUCCESS);
    RegistryKey bare;
    ASSERT_EQ(bare.Create(key_, "Bare"), ERROR_SUCCESS);

    char buffer[32];
    LONG size = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(key_, "List\\Sort", buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "2");
    EXPECT_EQ(size, 2);

    std::memset(buffer, 'x', sizeof buffer);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(key_, "Bare", buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "") << "no unnamed value: the empty string, with success";

    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(key_, "Missing", buffer, &size), ERROR_FILE_NOT_FOUND);

    GuardedBuffer small(1);
    size = 1;
    EXPECT_EQ(RegQueryValueA(key_, "List\\Sort", small.data(), &size), ERROR_MORE_DATA);
    EXPECT_TRUE(small.GuardsIntact());
}

// ---- The test kit itself ----

TEST(TempRegistryTest, SeedsEveryValueFormAndExportsItTheSameWay) {
    TempRegistry reg(R"(
[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Kit]
@="unnamed"
"Quote"="say \"hi\" C:\\"
"Dword"=dword:0000ffff
"Bin"=hex:00,01,ff
"Expand"=hex(2):25,50,25,00
"NoZero"=hex(1):61,62
"Gone"="x"
"Gone"=-

[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Kit\Sub]

[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Kit\Removed]
[-HKEY_LOCAL_MACHINE\Software\VORNA Customer\Kit\Removed]

[HKEY_CURRENT_USER\Software\VB and VBA Program Settings\App]
"A"="1"
)");
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Customer\\Kit"),
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Kit]\n"
              "@=\"unnamed\"\n"
              "\"Bin\"=hex:00,01,ff\n"
              "\"Dword\"=dword:0000ffff\n"
              "\"Expand\"=hex(2):25,50,25,00\n"
              "\"NoZero\"=hex(1):61,62\n"
              "\"Quote\"=\"say \\\"hi\\\" C:\\\\\"\n"
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Kit\\Sub]\n");
    EXPECT_EQ(reg.Value(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\App", "a"),
              Typed(REG_SZ, Bytes({'1', 0})));
    EXPECT_TRUE(reg.KeyExists(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings"));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Customer\\Kit\\Removed"));
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Customer\\Nowhere"), "");
}

TEST(TempRegistryTest, EachRegistryStartsFromItsOwnText) {
    {
        TempRegistry first("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\First]\n");
        RegistryKey k;
        ASSERT_EQ(k.Create(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Written"),
                  ERROR_SUCCESS);
    }
    TempRegistry second("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Second]\n");
    EXPECT_FALSE(second.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\First"));
    EXPECT_FALSE(second.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Written"));
    EXPECT_TRUE(second.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Second"));
}

TEST(TempRegistryTest, MalformedTextIsReportedWithItsLine) {
    try {
        TempRegistry reg("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\X]\n\"v\"=dword:xyz\n");
        FAIL() << "malformed text was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
    }
}

}  // namespace

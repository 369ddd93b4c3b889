// Subkey paths, key deletes, the unnamed-value query, names beyond ASCII and raw bytes written
// back, the way the system registry takes them.
// The same tests run against the .reg file store and, on Windows, against the system registry,
// whose behaviour the file store follows.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "registry/key_snapshot.h"
#include "registry/win_registry.h"
#include "tests/support/registry_fixture.h"

namespace {

using testsupport::TempRegistry;

const char kArea[] = "Software\\VORNA Customer\\Paths";
// ERROR_BAD_PATHNAME; not among the codes the pages need, so not declared away from Windows.
constexpr LONG kBadPathname = 161;

class RegistryPathTest : public ::testing::Test {
  protected:
    RegistryPathTest()
        : reg_(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Paths\A\B]
@="unnamed"
"Value"="x"

[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Paths\Number]
@=dword:00000007
)") {}

    void SetUp() override {
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kArea, 0, KEY_ALL_ACCESS, &area_),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        if (area_ != nullptr)
            RegCloseKey(area_);
    }

    bool Exists(const std::string& below) const {
        return reg_.KeyExists(HKEY_LOCAL_MACHINE, std::string(kArea) + "\\" + below);
    }

    TempRegistry reg_;
    HKEY area_ = nullptr;
};

TEST_F(RegistryPathTest, RunsOfBackslashesSeparateLikeOne) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\\\VORNA Customer\\Paths\\\\A\\\\\\B\\\\",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    char text[16] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(
        RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(text, "x");
    RegCloseKey(key);

    LONG count = sizeof text;
    EXPECT_EQ(RegQueryValueA(area_, "A\\\\B", text, &count), ERROR_SUCCESS);
    EXPECT_STREQ(text, "unnamed");

    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(area_, "C\\\\D\\\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    EXPECT_TRUE(Exists("C\\D"));

    EXPECT_EQ(RegDeleteKeyA(area_, "C\\\\D"), ERROR_SUCCESS);
    EXPECT_FALSE(Exists("C\\D"));
    EXPECT_TRUE(Exists("C"));
}

TEST_F(RegistryPathTest, LeadingBackslashIsABadPath) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(area_, "\\A", 0, KEY_READ, &key), kBadPathname);
    EXPECT_EQ(
        RegCreateKeyExA(area_, "\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        kBadPathname);
    EXPECT_FALSE(Exists("New"));
}

TEST_F(RegistryPathTest, DeleteNeedsANameAndTheEmptyOneIsTheKeyItself) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(area_, "A\\B", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(Exists("A\\B"));
    EXPECT_EQ(RegDeleteKeyA(key, ""), ERROR_SUCCESS);
    EXPECT_FALSE(Exists("A\\B"));
    EXPECT_TRUE(Exists("A"));
    RegCloseKey(key);
}

TEST_F(RegistryPathTest, QueryValueHandsOutTheUnnamedValueAsStored) {
    // Whatever its type: a number comes back as its four bytes.
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    LONG count = sizeof buffer;
    ASSERT_EQ(RegQueryValueA(area_, "Number", buffer, &count), ERROR_SUCCESS);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(std::string(buffer, 4), std::string("\x07\0\0\0", 4));

    // A text stored without its zero comes back without one. The byte after the data is not
    // zero, or the system would count a zero in when storing it.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(area_, "Open", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE data[] = {'a', 'b', 'c', 'Q'};
    ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, data, 3), ERROR_SUCCESS);
    RegCloseKey(key);
    count = sizeof buffer;
    ASSERT_EQ(RegQueryValueA(area_, "Open", buffer, &count), ERROR_SUCCESS);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

// Texts are Windows-1252: letters beyond ASCII match their other case too, and a name keeps the
// spelling it was first written in.
TEST_F(RegistryPathTest, NamesBeyondAsciiMatchWithoutRegardToCase) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(area_, "Gr\xe4te \x9a\xff\xe9", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE one[] = {'1', 0};
    ASSERT_EQ(RegSetValueExA(key,
                             "\xdc"
                             "ber",
                             0, REG_SZ, one, 2),
              ERROR_SUCCESS);
    const BYTE two[] = {'2', 0};
    ASSERT_EQ(RegSetValueExA(key,
                             "\xfc"
                             "BER",
                             0, REG_SZ, two, 2),
              ERROR_SUCCESS);
    RegCloseKey(key);

    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(area_, "GR\xc4TE \x8a\x9f\xc9", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    char name[32] = {};
    DWORD nameSize = sizeof name;
    BYTE data[8] = {};
    DWORD dataSize = sizeof data;
    ASSERT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, data, &dataSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(name,
                 "\xdc"
                 "ber");
    EXPECT_STREQ(reinterpret_cast<char*>(data), "2");
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);

    EXPECT_TRUE(Exists("gr\xe4te \x9a\xff\xc9"));
    EXPECT_FALSE(Exists("Grate \x9a\xff\xe9")) << "an umlaut is a letter of its own";
}

// The system counts a terminating zero into string data that lacks one whenever the byte after
// the data in the caller's memory happens to be zero. Data kept and written back raw must come
// back byte for byte all the same.
TEST_F(RegistryPathTest, RawStringsWithoutTheirZeroAreWrittenBackExactly) {
    // Zeros after the bytes in the vector's own memory: the case the system would change.
    std::vector<uint8_t> size = {'S', 'i', 'z', 'e', 0, 0, 0, 0};
    size.resize(4);
    registry::KeySnapshot kept;
    kept.values.push_back({"", REG_SZ, size});
    kept.values.push_back({"Multi", REG_MULTI_SZ, {'a', 0, 'b'}});
    kept.values.back().data.reserve(16);
    kept.subkeys.push_back({"Sub", {{"Expand", REG_EXPAND_SZ, {'%', 'x', '%'}}}, {}});
    ASSERT_EQ(registry::WriteKeySnapshot(area_, "Kept", kept), ERROR_SUCCESS);

    const std::string path = std::string(kArea) + "\\Kept";
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path, ""),
              std::make_pair(DWORD{REG_SZ}, std::vector<uint8_t>{'S', 'i', 'z', 'e'}));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path, "Multi"),
              std::make_pair(DWORD{REG_MULTI_SZ}, std::vector<uint8_t>{'a', 0, 'b'}));
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, path + "\\Sub", "Expand"),
              std::make_pair(DWORD{REG_EXPAND_SZ}, std::vector<uint8_t>{'%', 'x', '%'}));

    ASSERT_EQ(registry::SetRawValue(area_, "Direct", REG_SZ, size), ERROR_SUCCESS);
    EXPECT_EQ(reg_.Value(HKEY_LOCAL_MACHINE, kArea, "Direct"),
              std::make_pair(DWORD{REG_SZ}, std::vector<uint8_t>{'S', 'i', 'z', 'e'}));
}

TEST(RegistrySeedTest, TextsWithoutTheirZeroAreSeededExactly) {
    TempRegistry reg(R"(
[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Seed]
@=hex(1):53,69,7a,65
"Two"=hex(2):25,78
)");
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, "Software\\VORNA Customer\\Seed", ""),
              std::make_pair(DWORD{REG_SZ}, std::vector<uint8_t>{'S', 'i', 'z', 'e'}));
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, "Software\\VORNA Customer\\Seed", "Two"),
              std::make_pair(DWORD{REG_EXPAND_SZ}, std::vector<uint8_t>{'%', 'x'}));
}

}  // namespace

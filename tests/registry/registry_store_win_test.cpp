// On Windows the program always works on the system registry: asked to open a registry file, the
// store refuses and says why, and the system registry stays in use. It works in the registry's
// 32-bit view, which the operator interface's 32-bit controls read.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "tests/support/registry_fixture.h"

namespace {

TEST(SystemRegistryStoreTest, OpeningAFileIsRefusedAndTheSystemRegistryStaysInUse) {
    const std::string area = "Software\\VORNA Customer\\Store";
    testsupport::TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + area + "]\n\"Kept\"=dword:00000001\n");
    EXPECT_FALSE(registry::kRegistryIsFile);

    const std::string file = "C:\\vlx\\registry.reg";
    const std::string error = registry::OpenFileStore(file);
    EXPECT_NE(error.find(file), std::string::npos) << error;
    EXPECT_NE(error.find("system registry"), std::string::npos) << error;
    registry::CloseFileStore();

    // Neither call unbound or changed anything: the seeded key reads and takes writes as before.
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, area, "Kept"),
              std::make_pair(DWORD{REG_DWORD}, std::vector<uint8_t>{1, 0, 0, 0}));
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, area.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(key.SetNumber("Added", 2), ERROR_SUCCESS);
    key.Close();
    EXPECT_EQ(
        reg.Export(HKEY_LOCAL_MACHINE, area),
        "[HKEY_LOCAL_MACHINE\\" + area + "]\n\"Added\"=dword:00000002\n\"Kept\"=dword:00000001\n");
}

// A number under HKEY_LOCAL_MACHINE in the 64-bit view, or -1 when the key or value is missing.
int64_t NumberIn64BitView(const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return -1;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG read =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? int64_t{value} : -1;
}

// On 64-bit Windows (and in Wine's 64-bit prefix) the 32-bit view of HKEY_LOCAL_MACHINE\Software
// is Software\WOW6432Node. Every way the program meets a key (open, create, delete, and the
// value of a subkey) lands there, and a key of the same path in the 64-bit view is not touched.
TEST(SystemRegistryStoreTest, TheProgramWorksInThe32BitView) {
    const std::string area = "Software\\VORNA Customer\\View";
    const std::string redirected = "Software\\WOW6432Node\\VORNA Customer\\View";
    testsupport::TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + area + "]\n\"Where\"=dword:00000020\n" +
                                  "[HKEY_LOCAL_MACHINE\\" + area + "\\Sub]\n@=\"thirty-two\"\n");
    // The same path in the 64-bit view, holding other values.
    HKEY native = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, area.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &native, nullptr),
              ERROR_SUCCESS);
    const DWORD sixtyFour = 64;
    ASSERT_EQ(RegSetValueExA(native, "Where", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&sixtyFour), sizeof sixtyFour),
              ERROR_SUCCESS);
    RegCloseKey(native);

    // What was seeded for the program is in the 32-bit view, below WOW6432Node.
    EXPECT_EQ(NumberIn64BitView(redirected, "Where"), 32);
    EXPECT_EQ(NumberIn64BitView(area, "Where"), 64);

    // Reads: the 32-bit view's value, also through a subkey path of RegQueryValueA.
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, area.c_str()), ERROR_SUCCESS);
    DWORD where = 0;
    DWORD whereSize = sizeof where;
    EXPECT_EQ(RegQueryValueExA(key, "Where", nullptr, nullptr, reinterpret_cast<BYTE*>(&where),
                               &whereSize),
              ERROR_SUCCESS);
    EXPECT_EQ(where, 32u);
    char text[32] = {};
    LONG size = sizeof text;
    EXPECT_EQ(RegQueryValueA(HKEY_LOCAL_MACHINE, (area + "\\Sub").c_str(), text, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "thirty-two");

    // Writes and creates: below WOW6432Node, none in the 64-bit view.
    EXPECT_EQ(key.SetNumber("Written", 7), ERROR_SUCCESS);
    RegistryKey created;
    ASSERT_EQ(created.Create(HKEY_LOCAL_MACHINE, (area + "\\New").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(created.SetNumber("Fresh", 1), ERROR_SUCCESS);
    created.Close();
    key.Close();
    EXPECT_EQ(NumberIn64BitView(redirected, "Written"), 7);
    EXPECT_EQ(NumberIn64BitView(redirected + "\\New", "Fresh"), 1);
    EXPECT_EQ(NumberIn64BitView(area, "Written"), -1);
    EXPECT_EQ(NumberIn64BitView(area + "\\New", "Fresh"), -1);

    // Deletes: the tree in the 32-bit view goes, the 64-bit view's key stays.
    EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, area.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(NumberIn64BitView(redirected, "Where"), -1);
    EXPECT_EQ(NumberIn64BitView(area, "Where"), 64);
    EXPECT_EQ(RegDeleteKeyExA(HKEY_LOCAL_MACHINE, area.c_str(), KEY_WOW64_64KEY, 0), ERROR_SUCCESS);
}

}  // namespace

// On Windows the program always works on the system registry: asked to open a registry file, the
// store refuses and says why, and the system registry stays in use.
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

}  // namespace

// DeleteKeyTree when the store refuses to delete one key. Only the .reg file store can be made to
// refuse (by its test hook), so this runs away from Windows only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/file_store.h"
#include "registry/registry_key.h"
#include "tests/support/registry_fixture.h"

namespace {

using testsupport::TempRegistry;

const std::string kBase = "Software\\VORNA Roboter GmbH\\Test";

TEST(FileStoreDeleteFaultTest, HookSeesFullPathsAndAFailedDeleteChangesNothing) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kBase + "\\Tree\\A\\Deep]\n\"v\"=dword:00000001\n" +
                     "[HKEY_LOCAL_MACHINE\\" + kBase + "\\Tree\\B]\n");
    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    std::vector<std::string> asked;
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        asked.push_back(path);
        return path.ends_with("\\Tree\\B") ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, (kBase + "\\Tree").c_str()), ERROR_ACCESS_DENIED);
    const std::string root = "HKEY_LOCAL_MACHINE\\" + kBase + "\\Tree";
    EXPECT_EQ(asked, (std::vector<std::string>{root + "\\A\\Deep", root + "\\A", root + "\\B"}));
    // Depth first: A went before B failed; B and Tree stay.
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree\\A"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree\\B"));

    store->SetDeleteFaultHook(nullptr);
    EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, (kBase + "\\Tree").c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree"));
}

}  // namespace

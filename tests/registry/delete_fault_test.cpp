// DeleteKeyTree when the store refuses to delete one key. Only the .reg file store can be made to
// refuse (by its test hook), so this runs away from Windows only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/file_store.h"
#include "registry/key_snapshot.h"
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
    // B twice: refused as a leaf, then once more after looking for subkeys of its own.
    EXPECT_EQ(asked, (std::vector<std::string>{root + "\\A\\Deep", root + "\\A", root + "\\B",
                                               root + "\\B"}));
    // Depth first: A went before B failed; B and Tree stay.
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree\\A"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree\\B"));

    store->SetDeleteFaultHook(nullptr);
    EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, (kBase + "\\Tree").c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree"));
}

TEST(FileStoreDeleteFaultTest, AFailedDeleteCanGiveBackWhatItRemoved) {
    const std::string tree = "[HKEY_LOCAL_MACHINE\\" + kBase + "\\Tree";
    TempRegistry reg(tree + "]\n@=\"top\"\n" + tree + "\\A\\Deep]\n\"v\"=hex:01,02\n\"w\"=\"x\"\n" +
                     tree + "\\A]\n\"a\"=dword:00000007\n" + tree + "\\B]\n" + tree + "\\C]\n");
    const std::string before = reg.Export(HKEY_LOCAL_MACHINE, kBase);
    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        return path.ends_with("\\Tree\\B") ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    {
        RegistryKey key;
        ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, (kBase + "\\Tree").c_str()), ERROR_SUCCESS);
        EXPECT_EQ(registry::DeleteKeyTreeOrRestore(key), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kBase), before);

    store->SetDeleteFaultHook(nullptr);
    {
        RegistryKey key;
        ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, (kBase + "\\Tree").c_str()), ERROR_SUCCESS);
        EXPECT_EQ(registry::DeleteKeyTreeOrRestore(key), ERROR_SUCCESS);
    }
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Tree"));
}

}  // namespace

// DeleteKeyTree when the store refuses to delete one key. Only the .reg file store can be made to
// refuse (by its test hook), so this runs away from Windows only.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "registry/area_journal.h"
#include "registry/file_store.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "tests/support/registry_fixture.h"

namespace {

namespace fs = std::filesystem;
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

// After a journal's read, the save's deletes take their copy from it while nothing else has
// changed: whichever key refuses, what was deleted comes back as stored at that moment, also
// when a change after the read has made the journal's copy stale.
TEST(FileStoreDeleteFaultTest, ARefusedDeleteAfterAJournalGivesBackTheKeyAsStoredThen) {
    const std::string area = kBase + "\\Filter";
    const std::string list = kBase + "\\FilterList";
    const std::string seed = "[HKEY_LOCAL_MACHINE\\" + area + "]\n\"Own\"=\"x\"\n" +
                             "[HKEY_LOCAL_MACHINE\\" + area + "\\All]\n\"Mask\"=\"*.*\"\n" +
                             "[HKEY_LOCAL_MACHINE\\" + area + "\\All\\Deep]\n\"v\"=dword:1\n" +
                             "[HKEY_LOCAL_MACHINE\\" + area + "\\Odd]\n\"NoZero\"=hex(1):41\n" +
                             "[HKEY_LOCAL_MACHINE\\" + list + "\\Admin]\n@=\"All\"\n";
    const std::vector<std::pair<const char*, std::function<void()>>> changes{
        {"nothing", [] {}},
        {"a value",
         [&] {
             RegistryKey key;
             key.Open(HKEY_LOCAL_MACHINE, (area + "\\All\\Deep").c_str());
             key.SetString("Mask", "*.changed");
         }},
        {"a subkey",
         [&] {
             RegistryKey key;
             key.Create(HKEY_LOCAL_MACHINE, (list + "\\Admin\\Made").c_str());
             key.SetNumber("N", 1);
         }},
    };
    const fs::path folder = fs::temp_directory_path() / "vlx-journal-delete-fault";
    for (const auto& [what, change] : changes) {
        for (const char* refusing : {"\\Filter\\All\\Deep", "\\Filter\\Odd", "\\Filter",
                                     "\\FilterList\\Admin\\Made", "\\FilterList"}) {
            SCOPED_TRACE(std::string(what) + " changed, " + refusing + " refused");
            fs::remove_all(folder);
            TempRegistry reg(seed);
            registry::AreaJournal journal(folder.string());
            ASSERT_EQ(journal.Begin("Filter/Filter list", {area, list}), "");
            change();
            const std::string areaBefore = reg.Export(HKEY_LOCAL_MACHINE, area);
            const std::string listBefore = reg.Export(HKEY_LOCAL_MACHINE, list);
            registry::BoundFileStore()->SetDeleteFaultHook([&](const std::string& path) -> LONG {
                return path.ends_with(refusing) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
            });
            const LONG first = registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, area);
            const LONG second = registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, list);
            registry::BoundFileStore()->SetDeleteFaultHook(nullptr);
            EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, area), first ? areaBefore : "");
            EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, list), second ? listBefore : "");
            EXPECT_EQ(journal.Finish(), "");
        }
    }
    // Another store opened since is another registry: the copy read from the first one is not
    // used, even with no change made since.
    {
        TempRegistry first(seed);
        registry::AreaJournal journal(folder.string());
        ASSERT_EQ(journal.Begin("Filter/Filter list", {area, list}), "");
    }
    TempRegistry second("[HKEY_LOCAL_MACHINE\\" + area + "\\Other]\n\"w\"=\"y\"\n");
    const std::string stored = second.Export(HKEY_LOCAL_MACHINE, area);
    registry::BoundFileStore()->SetDeleteFaultHook([](const std::string& path) -> LONG {
        return path.ends_with("\\Filter") ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ(registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, area), ERROR_ACCESS_DENIED);
    registry::BoundFileStore()->SetDeleteFaultHook(nullptr);
    EXPECT_EQ(second.Export(HKEY_LOCAL_MACHINE, area), stored);
    fs::remove_all(folder);
}

}  // namespace

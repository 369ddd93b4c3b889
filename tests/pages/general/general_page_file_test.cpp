// The General page when the .reg file store refuses a delete: only that store can be made to
// refuse (by its test hook), so this runs away from Windows only.
#include <gtest/gtest.h>

#include <string>

#include "common/text_rules.h"
#include "registry/file_store.h"
#include "tests/pages/general/general_page_fixture.h"

namespace {

using namespace generalpagetest;

TEST_F(GeneralPageTest, AFailedDeleteChangesNothingAtAll) {
    Open(kSeed);
    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    // The removed branches are deleted first, depth first: d: and its folders are gone, and
    // vlx:\r1\program, before vlx:\r1 is refused.
    const std::string refused = "HKEY_LOCAL_MACHINE\\" + kTreeKey + "\\vlx:\\r1";
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        return common::EqualsNoCase(path, refused) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    Select({"d:"});
    uikit::Click(Page(), kRemoveFromTree);
    Select({"vlx:", "r1"});
    uikit::Click(Page(), kRemoveFromTree);
    TypeAndEnter("e:\\new");
    uikit::TypeText(Page(), kBackupConfig, "Changed");
    uikit::TypeText(Page(), kMirrorPath, "e:\\mirror");

    Ui().Answer(fw::MsgAnswer::Ok);
    Apply();
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, "Error deleting registry!\n  No changes will be made!");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::Ok);
    EXPECT_EQ(Export(kTreeKey), kStoredTree);
    EXPECT_EQ(Export(kBackUpKey), kStoredBackUp);
    EXPECT_EQ(Export(kFileKey), kStoredFile);
    // The page keeps its edits; once the delete goes through, they are written.
    EXPECT_EQ(Paths(), (Lines{"vlx:", "e:", "e:\\new [x]"}));
    store->SetDeleteFaultHook(nullptr);
    Apply();
    EXPECT_TRUE(KeyExists(kTreeKey + "\\e:\\new"));
    EXPECT_FALSE(KeyExists(kTreeKey + "\\d:"));
    EXPECT_FALSE(KeyExists(kTreeKey + "\\vlx:\\r1"));
}

}  // namespace

// The Templates page when the .reg file store refuses a delete: only that store can be made to
// refuse (by its test hook), so this runs away from Windows only.
#include <gtest/gtest.h>

#include <string>

#include "registry/file_store.h"
#include "tests/pages/templates/templates_page_fixture.h"

namespace {

using namespace templatespagetest;

// A delete that fails part way has already removed keys; they are given back and the save stops,
// so the store keeps everything it held and none of the page's edits.
TEST_F(TemplatesPageTest, FailedDeleteIsReportedAndLeavesTheStoreAsItWas) {
    Open(kArea + kVersion);
    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    const std::string refused = "HKEY_LOCAL_MACHINE\\" + kTemplateRoot + "\\Modul";
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        return path == refused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    Select(kDirectories, "vlx:\\r1\\");
    Select(kDirectoryTemplates, "Cell");
    uikit::Click(Page(), kDisableForDirectory);

    Ui().Answer(fw::MsgAnswer::Ok);
    Apply();
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, "Error deleting registry");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::Ok);
    // Cell and Expert, deleted before Modul refused, are back; the template lists stay unwritten.
    EXPECT_EQ(Export(), kArea);
    store->SetDeleteFaultHook(nullptr);
    Apply();
    std::string expected = kArea;
    const std::string offered = "\"Cell\"=dword:00000001\n\"Modul\"";
    expected.replace(expected.find(offered), offered.size(), "\"Modul\"");
    EXPECT_EQ(Export(), expected);
}

}  // namespace

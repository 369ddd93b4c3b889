// The Display page when the .reg file store refuses a delete: only that store can be made to
// refuse (by its test hook), so these run away from Windows only.
#include <gtest/gtest.h>

#include <string>

#include "registry/file_store.h"
#include "tests/pages/display/display_page_fixture.h"

namespace {

using namespace displaypagetest;

// The file store cannot refuse a delete by itself; its test hook makes it refuse one key.
TEST_F(DisplayPageTest, FailedDeleteIsReportedAndTheWritesGoOnOverWhatSurvived) {
    Open(kSeed);
    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    const std::string refused = "HKEY_LOCAL_MACHINE\\" + kDisplay + "\\Expert\\List\\Sort";
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        return path == refused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    SelectLevel("Expert");
    uikit::Click(Page(), kSortDescending);  // off
    SelectLevel("DEFAULT");
    SelectColumn("Size");
    uikit::Click(Page(), kRemoveColumn);

    Ui().Answer(fw::MsgAnswer::Ok);
    Apply();
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, "Error deleting registry");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::Ok);

    // The delete went depth first up to the refused key: DEFAULT and Expert's columns were gone
    // and are written anew; the surviving Sort key is overwritten with the page's values.
    const std::string descending = "@=\"3\"\n\"Descending\"=dword:00000001\n";
    EXPECT_EQ(Export(), [&] {
        std::string text = kSeed;
        const std::string removed = "[HKEY_LOCAL_MACHINE\\" + kDisplay +
                                    "\\DEFAULT\\List\\Columns\\2]\n@=\"Size\"\n"
                                    "\"Width\"=dword:00000046\n";
        text.erase(text.find(removed), removed.size());
        text.replace(text.find(descending), descending.size(),
                     "@=\"3\"\n\"Descending\"=dword:00000000\n");
        return text;
    }());
    EXPECT_FALSE(KeyExists(kDisplay + "\\DEFAULT\\List\\Columns\\2"));
    store->SetDeleteFaultHook(nullptr);
}

}  // namespace

// The Filters page when the .reg file store refuses a delete: only that store can be made to
// refuse (by its test hook), so these run away from Windows only.
#include <gtest/gtest.h>

#include <string>

#include "registry/file_store.h"
#include "tests/pages/filters/filters_page_fixture.h"

namespace {

using namespace filterstest;

// A save changes only what differs from the store, and deletes what goes first. A delete the
// store refuses (of a removed filter) is said and changes nothing; FilterList, written after
// Filter, is not written either.
TEST_F(FiltersPageTest, ARefusedDeleteIsSaidAndChangesNothing) {
    Open(kSeed);
    const std::string stored = Export(kFilter) + Export(kFilterList);
    ASSERT_NE(Export(kFilterList).find("\"Service\""), std::string::npos);
    // Edits in both areas: a filter and its entries go, a mask changes.
    RemoveFilter("Service");
    SelectFilter("All");
    uikit::TypeText(Page(), kMask, "*");
    Ui().ClearMessages();

    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    const std::string refused = "HKEY_LOCAL_MACHINE\\" + kFilter + "\\Service";
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        return path == refused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    Ui().Answer(fw::MsgAnswer::Ok);
    Apply();
    store->SetDeleteFaultHook(nullptr);

    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, "Error deleting registry");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Export(kFilter) + Export(kFilterList), stored);

    Ui().ClearMessages();
    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Export(kFilter + "\\Service"), "");
    EXPECT_EQ(Export(kFilter + "\\All"), Area(FilterKey("All", "*", "Every file and folder",
                                                        "00000000", "00000000", "000000ff")));
    EXPECT_EQ(Export(kFilterList).find("\"Service\""), std::string::npos);
}

}  // namespace

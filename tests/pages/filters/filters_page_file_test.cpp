// The Filters page when the .reg file store refuses a delete: only that store can be made to
// refuse (by its test hook), so these run away from Windows only.
#include <gtest/gtest.h>

#include <string>

#include "registry/file_store.h"
#include "tests/pages/filters/filters_page_fixture.h"

namespace {

using namespace filterstest;

TEST_F(FiltersPageTest, ARefusedDeleteStopsTheApplyAndLeavesThatAreaAsItWas) {
    const std::string filterPart = kSeed.substr(0, kSeed.find(kFilterListHeader));
    const std::string listPart = kSeed.substr(kSeed.find(kFilterListHeader));
    const struct {
        std::string refused;  // below HKEY_LOCAL_MACHINE
        bool filtersWritten;
    } cases[] = {
        {kFilter + "\\Programs", false},
        {kFilterList + "\\Expert", true},
    };
    for (const auto& c : cases) {
        Open(kSeed);
        // Edits in both areas: a filter and its entries go, a mask changes.
        RemoveFilter("Service");
        SelectFilter("All");
        uikit::TypeText(Page(), kMask, "*");
        Ui().ClearMessages();

        registry::FileStore* store = registry::BoundFileStore();
        ASSERT_NE(store, nullptr);
        const std::string refused = "HKEY_LOCAL_MACHINE\\" + c.refused;
        store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
            return path == refused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
        });
        Ui().Answer(fw::MsgAnswer::Ok);
        Apply();
        store->SetDeleteFaultHook(nullptr);

        ASSERT_EQ(Ui().Messages().size(), 1u) << c.refused;
        EXPECT_EQ(Ui().Messages()[0].text, "Error deleting registry");
        EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
        // The keys deleted before the refusal are back; the area after it is untouched.
        EXPECT_EQ(Export(kFilterList), listPart) << c.refused;
        if (c.filtersWritten) {
            EXPECT_EQ(Export(kFilter + "\\Service"), "");
            EXPECT_EQ(Export(kFilter + "\\All"),
                      Area(FilterKey("All", "*", "Every file and folder", "00000000", "00000000",
                                     "000000ff")));
        } else {
            EXPECT_EQ(Export(kFilter), filterPart);
        }
    }
}

}  // namespace

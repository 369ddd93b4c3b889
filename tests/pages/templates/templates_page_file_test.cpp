// The Templates page when the .reg file store refuses a delete: only that store can be made to
// refuse (by its test hook), so this runs away from Windows only.
#include <gtest/gtest.h>

#include <string>

#include "registry/file_store.h"
#include "tests/pages/templates/templates_page_fixture.h"

namespace {

using namespace templatespagetest;

// A save changes only what differs from the store, and deletes what goes first. A delete the
// store refuses (here of a removed template, after its DisabledUserLevel subkey went) puts back
// what it removed and stops the save, so the store keeps everything it held and none of the
// page's edits.
TEST_F(TemplatesPageTest, ARefusedDeleteIsSaidAndChangesNothing) {
    Open(kArea + kVersion);
    const std::string modul = harness_->Export(kTemplateRoot + "\\Modul");
    ASSERT_NE(modul, "");
    registry::FileStore* store = registry::BoundFileStore();
    ASSERT_NE(store, nullptr);
    const std::string refused = "HKEY_LOCAL_MACHINE\\" + kTemplateRoot + "\\Modul";
    store->SetDeleteFaultHook([&](const std::string& path) -> LONG {
        return path == refused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    Select(kDirectories, "vlx:\\r1\\");
    Select(kDirectoryTemplates, "Cell");
    uikit::Click(Page(), kDisableForDirectory);
    Select(kTemplates, "Modul");
    Ui().Answer(fw::MsgAnswer::Ok);  // it is offered in directories: go on
    uikit::Click(Page(), kRemoveTemplate);

    Ui().ClearMessages();
    Ui().Answer(fw::MsgAnswer::Ok);
    Apply();
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, "Error deleting registry");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::Ok);
    EXPECT_EQ(Export(), kArea);

    store->SetDeleteFaultHook(nullptr);
    Ui().ClearMessages();
    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    auto without = [](std::string text, const std::string& part) {
        for (std::size_t at; (at = text.find(part)) != std::string::npos;)
            text.erase(at, part.size());
        return text;
    };
    EXPECT_EQ(Export(), without(without(without(kArea, modul), "\"Modul\"=dword:00000001\n"),
                                "\"Cell\"=dword:00000001\n"));
}

}  // namespace

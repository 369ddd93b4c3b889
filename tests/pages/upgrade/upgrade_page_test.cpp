// The Upgrade Manager page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/upgrade/tab_dlg_upgrade_manager.h"
#include "pages/upgrade/upgrade_registry.h"
#include "resources/templates/template_135.h"
#include "tests/support/page_harness.h"
#include "tests/support/picker_answers.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t135;
using Lines = std::vector<std::string>;

const std::string kVersion = upgrade::kVersionKeyPath;
const std::string kUpgrade = upgrade::kUpgradeKeyPath;
const std::string kV = "[HKEY_LOCAL_MACHINE\\" + kVersion;
const std::string kW = "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "\\WatchedDestinationPaths";

const std::string kVersionArea = kV + "]\n\"InstallationDir\"=\"C:\\\\VLX\"\n" +  //
                                 kV + "\\VLX 4.1]\n\"Kestrin.ocx\"=\"1.9.2.0\"\n" +
                                 "\"Quorin3.exe\"=\"2.4.0.7\"\n" +  //
                                 kV + "\\vlx 5.2]\n\"Kestrin.ocx\"=\"2.1.0.3\"\n" +
                                 "\"Quorin3.exe\"=\"3.0.0.11\"\n\"VlxHmi.exe\"=\"5.2.0.40\"\n";
const std::string kUpgradeArea = "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "]\n" + kW +
                                 "]\n\"Help\"=\"c:\\\\vlx\\\\help\"\n"
                                 "\"Programs\"=\"vlx:\\\\r1\\\\program\"\n";

class UpgradePageTest : public ::testing::Test {
  protected:
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgUpgradeManager>(kTemplate);
        loaded_ = harness_->LoadResult();
    }
    CTabDlgUpgradeManager& Page() { return *page_; }
    Lines RowsOf(int id) { return uikit::Rows(*page_, id); }
    // Every row of a report list as "column 0|column 1".
    Lines Report(int id) {
        Lines out;
        const auto& view = page_->Item<fw::ListView>(id);
        for (int row = 0; row < view.GetItemCount(); ++row) {
            out.push_back(view.GetItemText(row, 0) + "|" + view.GetItemText(row, 1));
        }
        return out;
    }
    int Selected(int id) { return page_->Item<fw::ListView>(id).GetSelectedRow(); }
    std::string Text(int id) { return page_->GetItemText(id); }
    std::string Export(const std::string& path) { return harness_->Export(path); }
    void Apply() { harness_->Apply(); }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgUpgradeManager* page_ = nullptr;
    bool loaded_ = false;
};

TEST_F(UpgradePageTest, ShowsTheSystemTypesAndPathsAndAppliesThemUnchanged) {
    Open(kVersionArea + kUpgradeArea);
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(RowsOf(kSystemTypes), (Lines{"VLX 4.1", "vlx 5.2"}));
    EXPECT_EQ(Page().Item<fw::ListBox>(kSystemTypes).GetCurSel(), 0);
    EXPECT_EQ(Text(kFilesGroup), "Files and versions for: VLX 4.1");
    EXPECT_EQ(Report(kFiles), (Lines{"Kestrin.ocx|1.9.2.0", "Quorin3.exe|2.4.0.7"}));
    EXPECT_EQ(Report(kPaths), (Lines{"Help|c:\\vlx\\help", "Programs|vlx:\\r1\\program"}));
    EXPECT_EQ(Page().InstallationDir(), "c:\\vlx");
    const struct {
        int id;
        Lines headings;
        std::vector<int> widths;
    } columns[] = {{kFiles, {"Name", "Version"}, {160, 60}},
                   {kPaths, {"Name", "Full path"}, {80, 235}}};
    for (const auto& c : columns) {
        auto& view = Page().Item<fw::ListView>(c.id);
        ASSERT_EQ(view.GetColumnCount(), 2);
        for (int column = 0; column < 2; ++column) {
            EXPECT_EQ(fw::FromQt(view.headerItem()->text(column)), c.headings[column]);
            EXPECT_EQ(view.GetColumnWidth(column), c.widths[column]);
        }
        EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_FALSE(view.header()->sectionsClickable());
    }
    for (int id : {kFileName, kFileVersion, kPathName, kPath}) {
        EXPECT_EQ(Page().Item<fw::Edit>(id).GetLimitText(), 99) << id;
    }
    uikit::SelectRowByText(Page(), kSystemTypes, "vlx 5.2");
    EXPECT_EQ(Text(kFilesGroup), "Files and versions for: vlx 5.2");
    EXPECT_EQ(RowsOf(kFiles), (Lines{"Kestrin.ocx", "Quorin3.exe", "VlxHmi.exe"}));

    Apply();
    EXPECT_TRUE(harness_->Ui().Messages().empty());
    EXPECT_EQ(Export(kVersion), kVersionArea);
    EXPECT_EQ(Export(kUpgrade), kUpgradeArea);
}

TEST_F(UpgradePageTest, FilesAreAddedUpdatedAndRemovedOnTheSelectedSystemType) {
    Open(kVersionArea + kUpgradeArea);
    uikit::SelectRowByText(Page(), kSystemTypes, "vlx 5.2");
    uikit::SelectRow(Page(), kFiles, 2);
    EXPECT_EQ(Text(kFileName), "VlxHmi.exe");
    EXPECT_EQ(Text(kFileVersion), "5.2.0.40");

    // The same name in another case: its row keeps its place and stored spelling; leading
    // blanks go, trailing ones stay.
    uikit::TypeText(Page(), kFileName, "  quorin3.EXE");
    uikit::TypeText(Page(), kFileVersion, " 3.1 ");
    uikit::Click(Page(), kAddFile);
    EXPECT_EQ(Text(kFileName), "quorin3.EXE");
    EXPECT_EQ(Text(kFileVersion), "3.1 ");
    EXPECT_EQ(Report(kFiles),
              (Lines{"Kestrin.ocx|2.1.0.3", "Quorin3.exe|3.1 ", "VlxHmi.exe|5.2.0.40"}));
    EXPECT_EQ(Selected(kFiles), 1);

    uikit::TypeText(Page(), kFileName, "New.dll");
    uikit::TypeText(Page(), kFileVersion, "");
    uikit::Click(Page(), kAddFile);  // no version: nothing
    uikit::TypeText(Page(), kFileVersion, "1.0");
    uikit::Click(Page(), kAddFile);
    EXPECT_EQ(RowsOf(kFiles), (Lines{"Kestrin.ocx", "Quorin3.exe", "VlxHmi.exe", "New.dll"}));
    EXPECT_EQ(Selected(kFiles), 3);

    uikit::SelectRow(Page(), kFiles, 0);
    uikit::Click(Page(), kRemoveFile);
    EXPECT_EQ(RowsOf(kFiles), (Lines{"Quorin3.exe", "VlxHmi.exe", "New.dll"}));
    uikit::Click(Page(), kRemoveFile);  // nothing selected any more
    EXPECT_EQ(RowsOf(kFiles).size(), 3u);

    // Another system type shows its own files; the edits stay in memory across the switch.
    uikit::SelectRowByText(Page(), kSystemTypes, "VLX 4.1");
    EXPECT_EQ(RowsOf(kFiles), (Lines{"Kestrin.ocx", "Quorin3.exe"}));
    uikit::SelectRowByText(Page(), kSystemTypes, "vlx 5.2");
    EXPECT_EQ(Report(kFiles), (Lines{"Quorin3.exe|3.1 ", "VlxHmi.exe|5.2.0.40", "New.dll|1.0"}));

    Apply();
    EXPECT_EQ(Export(kVersion + "\\vlx 5.2"),
              kV + "\\vlx 5.2]\n\"New.dll\"=\"1.0\"\n\"Quorin3.exe\"=\"3.1 \"\n"
                   "\"VlxHmi.exe\"=\"5.2.0.40\"\n");
    EXPECT_EQ(Export(kVersion + "\\VLX 4.1"),
              kVersionArea.substr(
                  kVersionArea.find(kV + "\\VLX 4.1"),
                  kVersionArea.find(kV + "\\vlx 5.2") - kVersionArea.find(kV + "\\VLX 4.1")));
}

TEST_F(UpgradePageTest, MonitoredPathsAreTrimmedAndAKnownNameIsOnlySelected) {
    Open(kVersionArea + kUpgradeArea);
    uikit::TypeText(Page(), kPathName, "  Logs ");
    uikit::TypeText(Page(), kPath, "  vlx:\\r1\\log  ");
    uikit::Click(Page(), kAddPath);
    EXPECT_EQ(Text(kPathName), "Logs");
    EXPECT_EQ(Text(kPath), "vlx:\\r1\\log");
    EXPECT_EQ(Report(kPaths),
              (Lines{"Help|c:\\vlx\\help", "Programs|vlx:\\r1\\program", "Logs|vlx:\\r1\\log"}));
    EXPECT_EQ(Selected(kPaths), 2);

    uikit::TypeText(Page(), kPathName, "PROGRAMS");
    uikit::TypeText(Page(), kPath, "d:\\other");
    uikit::Click(Page(), kAddPath);
    EXPECT_EQ(Selected(kPaths), 1);
    EXPECT_EQ(Report(kPaths)[1], "Programs|vlx:\\r1\\program");

    uikit::SelectRow(Page(), kPaths, 0);
    EXPECT_EQ(Text(kPathName), "Help");
    EXPECT_EQ(Text(kPath), "c:\\vlx\\help");
    uikit::Click(Page(), kRemovePath);
    EXPECT_EQ(RowsOf(kPaths), (Lines{"Programs", "Logs"}));
    Apply();
    EXPECT_EQ(Export(kUpgrade), "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "]\n" + kW +
                                    "]\n\"Logs\"=\"vlx:\\\\r1\\\\log\"\n"
                                    "\"Programs\"=\"vlx:\\\\r1\\\\program\"\n");
    EXPECT_EQ(Export(kVersion), kVersionArea);
}

TEST_F(UpgradePageTest, BrowsingConvertsThePathTextEvenAfterCancel) {
    Open(kVersionArea + kUpgradeArea);
    uikit::TypeText(Page(), kPathName, "Log");
    uikit::TypeText(Page(), kPath, " C:\\VLX\\Roboter\\VLX\\R1\\Log");
    testsupport::PickerRequest asked;
    testsupport::CancelPicker(harness_->Ui(), &asked);
    uikit::Click(Page(), kBrowse);
    EXPECT_TRUE(asked.directoriesOnly);
    EXPECT_EQ(Text(kPath), " vlx:\\r1\\log");
    EXPECT_EQ(Text(kPathName), "Log");

    testsupport::AnswerPicker(harness_->Ui(), "C:\\VLX\\Roboter\\VLX\\R2\\Program");
    uikit::Click(Page(), kBrowse);
    EXPECT_EQ(Text(kPath), "vlx:\\r2\\program");
    EXPECT_EQ(RowsOf(kPaths).size(), 2u);  // not added until "Add to defined"
    EXPECT_EQ(harness_->Ui().ModalRuns(), (std::vector<int>(2, CDlgBrowseDir::kTemplate)));
}

TEST_F(UpgradePageTest, WithoutAVersionKeyTheLoadFailsAndTheWatchedPathsStillShow) {
    Open(kUpgradeArea);
    EXPECT_FALSE(loaded_);
    EXPECT_TRUE(RowsOf(kSystemTypes).empty());
    EXPECT_TRUE(RowsOf(kFiles).empty());
    EXPECT_EQ(Text(kFilesGroup), "Files and Versions for: ");
    EXPECT_EQ(RowsOf(kPaths), (Lines{"Help", "Programs"}));
    uikit::TypeText(Page(), kFileName, "a");
    uikit::TypeText(Page(), kFileVersion, "1");
    uikit::Click(Page(), kAddFile);  // no system type: nothing
    EXPECT_TRUE(RowsOf(kFiles).empty());
    Apply();
    EXPECT_EQ(Export(kUpgrade), kUpgradeArea);
    EXPECT_FALSE(harness_->KeyExists(kVersion));
    EXPECT_TRUE(harness_->Ui().Messages().empty());
}

}  // namespace

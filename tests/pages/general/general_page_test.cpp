// The General page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/dlg_browse_dir.h"
#include "resources/templates/template_138.h"
#include "tests/pages/general/general_page_fixture.h"
#include "tests/support/picker_answers.h"

namespace {

using namespace generalpagetest;

TEST_F(GeneralPageTest, ShowsTheStoredAreasAndAppliesThemUnchanged) {
    Open(kSeed);
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(Paths(), kStoredPaths);
    EXPECT_TRUE(Collapsed().empty());
    EXPECT_EQ(Text(kKestrinName), "Ostrix");
    EXPECT_TRUE(Page().Item<fw::Edit>(kKestrinName).isReadOnly());
    EXPECT_EQ(Text(kMirrorPath), "d:\\mirror\\");
    EXPECT_EQ(Text(kArchivePath), "d:\\archive\\");
    EXPECT_EQ(Text(kBackupConfig), "All");
    EXPECT_EQ(Text(kBackupArchive), "Disk");
    EXPECT_EQ(Text(kFullPath), "");
    EXPECT_EQ(Page().InstallationDir(), "c:\\vlx");
    for (int id : {kFullPath, kMirrorPath, kArchivePath, kBackupConfig, kBackupArchive}) {
        EXPECT_EQ(Page().Item<fw::Edit>(id).GetLimitText(), 255) << id;
    }
    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Export(kTreeKey), kStoredTree);
    EXPECT_EQ(Export(kBackUpKey), kStoredBackUp);
    EXPECT_EQ(Export(kFileKey), kStoredFile);
}

TEST_F(GeneralPageTest, AddToTreeNormalisesThePathAndChecksOnlyItsLastFolder) {
    const struct {
        const char* typed;
        bool byEnter;       // Enter released in "Full Path", else the button
        const char* shown;  // "Full Path" afterwards
        Lines tree;
    } cases[] = {
        {"  C:\\VLX\\Roboter\\VLX\\R1\\Program\\NEW\\ ",
         true,
         "vlx:\\r1\\program\\new\\",
         {"d:", "d:\\archive", "d:\\data [x]", "vlx:", "vlx:\\r1", "vlx:\\r1\\program [x]",
          "vlx:\\r1\\program\\new [x]"}},
        {"D:\\Archive",
         false,
         "d:\\archive",
         {"d:", "d:\\archive [x]", "d:\\data [x]", "vlx:", "vlx:\\r1", "vlx:\\r1\\program [x]"}},
        {"e:\\x\\y",
         false,
         "e:\\x\\y",
         {"d:", "d:\\archive", "d:\\data [x]", "vlx:", "vlx:\\r1", "vlx:\\r1\\program [x]",
          "e:", "e:\\x", "e:\\x\\y [x]"}},
        // Only the whole folder name is the installation directory's short form.
        {"c:\\vlx\\roboter\\vlxtools",
         true,
         "c:\\vlx\\roboter\\vlxtools",
         {"d:", "d:\\archive", "d:\\data [x]", "vlx:", "vlx:\\r1", "vlx:\\r1\\program [x]",
          "c:", "c:\\vlx", "c:\\vlx\\roboter", "c:\\vlx\\roboter\\vlxtools [x]"}},
        // Nothing to add: nothing is synchronised either, the toggled check stays.
        {"   ",
         true,
         "",
         {"d:", "d:\\archive", "d:\\data [x]", "vlx:", "vlx:\\r1 [x]", "vlx:\\r1\\program [x]"}},
    };
    for (const auto& c : cases) {
        Open(kSeed);
        // A check toggled since the load goes back to its stored flag with the next add.
        uikit::SetTreeCheck(Page(), kTree, Find({"vlx:", "r1"}), true);
        uikit::TypeText(Page(), kFullPath, c.typed);
        if (c.byEnter) {
            uikit::TapKey(Page(), kFullPath, fw::kVkReturn);
        } else {
            uikit::Click(Page(), kAddToTree);
        }
        EXPECT_EQ(Text(kFullPath), c.shown) << c.typed;
        EXPECT_EQ(Paths(), c.tree) << c.typed;
        EXPECT_TRUE(Collapsed().empty()) << c.typed;
        EXPECT_TRUE(Ui().Messages().empty()) << c.typed;
    }

    // New intermediate folders are written unchecked.
    Open(kSeed);
    TypeAndEnter("e:\\x\\y");
    Apply();
    EXPECT_EQ(Export(kTreeKey),
              TreeArea("[T]\n" + Node("d:", 0) + Node("d:\\archive", 0) + Node("d:\\data", 1) +
                       Node("e:", 0) + Node("e:\\x", 0) + Node("e:\\x\\y", 1) + Node("vlx:", 0) +
                       Node("vlx:\\r1", 0) + Node("vlx:\\r1\\program", 1)));
}

TEST_F(GeneralPageTest, APathWithAnEmptyFolderNameIsRefused) {
    for (const char* typed : {"c:\\\\temp", "\\temp"}) {
        Open(kSeed);
        Ui().Answer(fw::MsgAnswer::Ok);
        TypeAndEnter(typed);
        ASSERT_EQ(Ui().Messages().size(), 1u) << typed;
        EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
        EXPECT_NE(Ui().Messages()[0].text.find(typed), std::string::npos);
        EXPECT_EQ(Paths(), kStoredPaths) << typed;
    }
}

TEST_F(GeneralPageTest, SelectingShowsTheNodesPathAndReAddingItChecksIt) {
    Open(kSeed);
    Select({"vlx:", "r1"});
    EXPECT_EQ(Text(kFullPath), "vlx:\\r1\\");
    uikit::TapKey(Page(), kFullPath, fw::kVkReturn);
    EXPECT_EQ(Paths(), (Lines{"d:", "d:\\archive", "d:\\data [x]", "vlx:", "vlx:\\r1 [x]",
                              "vlx:\\r1\\program [x]"}));
    // The check boxes are what "&Apply" writes.
    uikit::SetTreeCheck(Page(), kTree, Find({"d:", "data"}), false);
    uikit::SetTreeCheck(Page(), kTree, Find({"d:"}), true);
    Apply();
    EXPECT_EQ(Export(kTreeKey),
              TreeArea("[T]\n" + Node("d:", 1) + Node("d:\\archive", 0) + Node("d:\\data", 0) +
                       Node("vlx:", 0) + Node("vlx:\\r1", 1) + Node("vlx:\\r1\\program", 1)));
}

TEST_F(GeneralPageTest, RemovingTakesTheWholeBranchAndAnEmptyTreeLeavesNoKey) {
    Open(kSeed);
    uikit::Click(Page(), kRemoveFromTree);  // nothing selected
    EXPECT_EQ(Paths(), kStoredPaths);
    Select({"vlx:", "r1"});
    uikit::TapKey(Page(), kTree, fw::kVkDelete);
    EXPECT_EQ(Paths(), (Lines{"d:", "d:\\archive", "d:\\data [x]", "vlx:"}));
    Select({"d:"});
    uikit::Click(Page(), kRemoveFromTree);
    EXPECT_EQ(Paths(), (Lines{"vlx:"}));
    Select({"vlx:"});
    uikit::Click(Page(), kRemoveFromTree);
    EXPECT_TRUE(Paths().empty());
    EXPECT_TRUE(Ui().Messages().empty());
    Apply();
    EXPECT_FALSE(KeyExists(kTreeKey));
    // A missing tree loads empty, without failing.
    EXPECT_TRUE(harness_->Reload());
    EXPECT_TRUE(Paths().empty());
}

TEST_F(GeneralPageTest, EmptiedBackupParametersKeepTheirStoredValues) {
    Open(kSeed);
    uikit::TypeText(Page(), kBackupConfig, "");
    uikit::TypeText(Page(), kBackupArchive, "Net");
    uikit::TypeText(Page(), kArchivePath, "");
    uikit::TypeText(Page(), kMirrorPath, "e:\\mirror");
    Apply();
    EXPECT_EQ(Export(kBackUpKey), "[HKEY_LOCAL_MACHINE\\" + kBackUpKey +
                                      "]\n@=\"\"\n\"Archive\"=\"Net\"\n\"Config\"=\"All\"\n");
    EXPECT_EQ(Export(kFileKey),
              "[HKEY_LOCAL_MACHINE\\" + kFileKey + "]\n\"MirrorPath\"=\"e:\\\\mirror\"\n");
    uikit::Click(Page(), kRestore);
    EXPECT_EQ(Page().FocusedControlId(), kTree);
    EXPECT_EQ(Text(kBackupConfig), "All");
    EXPECT_EQ(Text(kArchivePath), "");
}

TEST_F(GeneralPageTest, BrowsingShowsTheChosenFolderInItsStoredFormWithoutAddingIt) {
    Open(kSeed);
    harness_->Drive().MakeFolder("VLX\\Roboter\\VLX\\R1");
    // Folder by folder through the picker, as a user goes.
    bool foldersOnly = false;
    Ui().OnModal([&](fw::Dialog& picker) {
        foldersOnly = static_cast<CDlgBrowseDir&>(picker).directoriesOnly;
        for (const char* folder : {"[VLX]", "[Roboter]", "[VLX]", "[R1]"}) {
            const Lines rows = uikit::Rows(picker, res::t138::kDirectories);
            const auto row = std::find(rows.begin(), rows.end(), folder);
            ASSERT_NE(row, rows.end()) << folder;
            uikit::DoubleClickRow(picker, res::t138::kDirectories,
                                  static_cast<int>(row - rows.begin()));
        }
        uikit::Click(picker, fw::kIdOk);
    });
    uikit::Click(Page(), kBrowse);
    EXPECT_TRUE(foldersOnly);
    EXPECT_EQ(Text(kFullPath), "vlx:\\r1");
    EXPECT_EQ(Paths(), kStoredPaths);
    uikit::Click(Page(), kAddToTree);
    EXPECT_EQ(Paths()[4], "vlx:\\r1 [x]");

    // Cancel leaves what the edit holds as it is.
    uikit::TypeText(Page(), kFullPath, "D:\\Typed");
    testsupport::CancelPicker(Ui());
    uikit::Click(Page(), kBrowse);
    EXPECT_EQ(Text(kFullPath), "D:\\Typed");
    testsupport::AnswerPicker(Ui(), "E:\\Data\\Backup");
    uikit::Click(Page(), kBrowse);
    EXPECT_EQ(Text(kFullPath), "e:\\data\\backup");
    EXPECT_EQ(Ui().ModalRuns(), (std::vector<int>(3, CDlgBrowseDir::kTemplate)));
}

}  // namespace

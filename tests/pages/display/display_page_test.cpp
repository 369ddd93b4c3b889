// The Display page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/framework.h"
#include "pages/display/display_registry.h"
#include "pages/display/tab_dlg_display.h"
#include "resources/templates/template_129.h"
#include "tests/pages/display/display_page_fixture.h"
#include "tests/support/page_harness.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace displaypagetest;

TEST_F(DisplayPageTest, ShowsTheStoredLevelsAndAppliesThemUnchanged) {
    Open(kSeed);
    ASSERT_EQ(Export(), kSeed);
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(RowsOf(kSupportedLevels), (Rows{"Admin", "DEFAULT", "Demo", "Expert", "User"}));
    EXPECT_EQ(RowsOf(kSupportedColumns),
              (Rows{"Attributes", "Comment", "DataSize", "EditMode", "Extension", "Release", "Size",
                    "SourceSize", "timeAccess", "timeCreated", "timeModified", "User"}));
    EXPECT_EQ(RowsOf(kVolumes), (Rows{"ARCHIV", "CD", "FD", "HD", "VLX", "NET"}));
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Expert"}));
    EXPECT_EQ(SelectedRow(kDefinedLevels), 0);
    EXPECT_EQ(Caption(), "Properties for level: DEFAULT ");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Comment", "Size"}));
    EXPECT_EQ(Width(), "180");

    SelectLevel("Expert");
    EXPECT_EQ(Caption(), "Properties for level: Expert ");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Extension", "Size", "timeModified"}));
    EXPECT_EQ(RowsOf(kSortColumn), (Rows{"Label", "Extension", "Size", "timeModified"}));
    EXPECT_EQ(SelectedText(kSortColumn), "timeModified");
    EXPECT_EQ(SelectedText(kDefinedColumns), "Label");
    EXPECT_EQ(Width(), "160");
    EXPECT_TRUE(Descending());
    EXPECT_EQ(Volumes(), (std::vector<bool>{true, false, false, true, true, true}));

    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Export(), kSeed);
}

TEST_F(DisplayPageTest, EditsReachTheStoreOnApplyAndSurviveAReload) {
    Open(kSeed);
    SelectLevel("Expert");
    SelectColumn("Size");
    EXPECT_EQ(Width(), "70");
    uikit::TypeText(Page(), kColumnWidth, "125");
    uikit::ChooseComboText(Page(), kSortColumn, "Extension");
    uikit::Click(Page(), kSortDescending);
    uikit::ToggleCheck(Page(), kVolumes, 1);  // CD on
    uikit::ToggleCheck(Page(), kVolumes, 5);  // NET off
    AddColumn("Comment");
    EXPECT_EQ(RowsOf(kDefinedColumns),
              (Rows{"Label", "Extension", "Size", "timeModified", "Comment"}));
    EXPECT_EQ(Width(), "100");
    // Nothing is written before "&Apply".
    EXPECT_EQ(Export(), kSeed);

    Apply();
    const std::string expert =
        Area("[Display\\Expert]\n[Display\\Expert\\List]\n[Display\\Expert\\List\\Columns]\n" +
             ColumnKey("Expert", 0, "Label", 160) + ColumnKey("Expert", 1, "Extension", 60) +
             ColumnKey("Expert", 2, "Size", 125) + ColumnKey("Expert", 3, "timeModified", 120) +
             ColumnKey("Expert", 4, "Comment", 100) +
             "[Display\\Expert\\List\\Sort]\n@=\"1\"\n\"Descending\"=dword:00000000\n"
             "[Display\\Expert\\Tree]\n[Display\\Expert\\Tree\\Volumes]\n"
             "\"ARCHIV\"=dword:00000001\n\"CD\"=dword:00000001\n\"FD\"=dword:00000000\n"
             "\"HD\"=dword:00000001\n\"NET\"=dword:00000000\n\"VLX\"=dword:00000001\n");
    EXPECT_EQ(harness_->Export(kDisplay + "\\Expert"), expert.substr(expert.find('\n') + 1));

    // Edits not applied are dropped by "&Restore from Registry"; applied ones come back.
    uikit::TypeText(Page(), kColumnWidth, "5");
    uikit::Click(Page(), kRestore);
    SelectLevel("Expert");
    SelectColumn("Size");
    EXPECT_EQ(Width(), "125");
    EXPECT_EQ(SelectedText(kSortColumn), "Extension");
    EXPECT_FALSE(Descending());
    EXPECT_EQ(Volumes(), (std::vector<bool>{true, true, false, true, true, false}));
}

TEST_F(DisplayPageTest, EmptyAreaGetsTheDefaultLevelWrittenAtOnce) {
    Open(Area(""));
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT"}));
    EXPECT_EQ(Caption(), "Properties for level: DEFAULT ");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label"}));
    EXPECT_EQ(Width(), "100");
    EXPECT_EQ(SelectedText(kSupportedLevels), "Demo");
    EXPECT_EQ(Volumes(), (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_EQ(Export(), Area("[Display\\DEFAULT]\n[Display\\DEFAULT\\List]\n"
                             "[Display\\DEFAULT\\List\\Columns]\n" +
                             ColumnKey("DEFAULT", 0, "Label", 100) +
                             "[Display\\DEFAULT\\List\\Sort]\n@=\"0\"\n"
                             "\"Descending\"=dword:00000000\n"
                             "[Display\\DEFAULT\\Tree]\n[Display\\DEFAULT\\Tree\\Volumes]\n"
                             "\"ARCHIV\"=dword:00000000\n\"CD\"=dword:00000000\n"
                             "\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n"
                             "\"NET\"=dword:00000000\n\"VLX\"=dword:00000001\n"));
    EXPECT_TRUE(Ui().Messages().empty());
}

TEST_F(DisplayPageTest, MissingAreaFailsTheLoadAndWritesNothing) {
    Open("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n");
    EXPECT_FALSE(loaded_);
    EXPECT_TRUE(RowsOf(kDefinedLevels).empty());
    EXPECT_EQ(Caption(), "No levels defined ");
    EXPECT_FALSE(KeyExists(kDisplay));
    EXPECT_TRUE(Ui().Messages().empty());
}

TEST_F(DisplayPageTest, AddingLevelsAdvancesAndWrapsTheSupportedSelection) {
    Open(kSeed);
    uikit::SelectRowByText(Page(), kSupportedLevels, "DEFAULT");
    uikit::Click(Page(), kAddLevel);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Expert"}));
    EXPECT_EQ(SelectedText(kDefinedLevels), "DEFAULT");
    EXPECT_EQ(SelectedText(kSupportedLevels), "Demo");

    uikit::SelectRowByText(Page(), kSupportedLevels, "User");
    uikit::Click(Page(), kAddLevel);
    EXPECT_EQ(SelectedText(kSupportedLevels), "Admin");
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Expert", "User"}));
    EXPECT_EQ(SelectedText(kDefinedLevels), "User");
    EXPECT_EQ(Caption(), "Properties for level: User ");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label"}));
    EXPECT_EQ(Volumes(), (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_FALSE(Descending());

    // Adding a level that exists (in another spelling too) only selects it.
    uikit::SelectRowByText(Page(), kSupportedLevels, "Expert");
    uikit::Click(Page(), kAddLevel);
    EXPECT_EQ(SelectedText(kDefinedLevels), "Expert");
    EXPECT_EQ(Page().Levels().size(), 3u);
}

TEST_F(DisplayPageTest, DefaultLevelCannotBeRemovedAndRemovalSelectsTheRowBefore) {
    Open(kSeed);
    SelectLevel("DEFAULT");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Expert"}));

    SelectLevel("Expert");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT"}));
    EXPECT_EQ(SelectedText(kDefinedLevels), "DEFAULT");
    EXPECT_EQ(Caption(), "Properties for level: DEFAULT ");
    EXPECT_EQ(Page().Levels().size(), 1u);

    Apply();
    EXPECT_FALSE(KeyExists(kDisplay + "\\Expert"));
    EXPECT_TRUE(KeyExists(kDisplay + "\\DEFAULT\\List\\Sort"));
}

TEST_F(DisplayPageTest, RemovingEveryLevelLeavesNoLevelsAndNoDisplayKey) {
    Open(Area(ColumnKey("default", 0, "Label", 100) + ColumnKey("Admin", 0, "Label", 100) +
              ColumnKey("User", 0, "Label", 100)));
    ASSERT_EQ(RowsOf(kDefinedLevels).size(), 3u);
    // "default" in any spelling is protected.
    SelectLevel("default");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(RowsOf(kDefinedLevels).size(), 3u);

    Open(Area(ColumnKey("Admin", 0, "Label", 100) + ColumnKey("User", 0, "Label", 100)));
    SelectLevel("Admin");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(SelectedText(kDefinedLevels), "User");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_TRUE(RowsOf(kDefinedLevels).empty());
    EXPECT_EQ(Caption(), "No levels defined ");
    uikit::Click(Page(), kRemoveLevel);  // nothing left to remove
    Apply();
    EXPECT_FALSE(KeyExists(kDisplay));
}

TEST_F(DisplayPageTest, LabelIsFixedAndColumnsMoveByTheUpDownControl) {
    Open(Area(ColumnKey("User", 0, "Label", 100) + ColumnKey("User", 1, "Size", 70) +
              ColumnKey("User", 2, "Comment", 200)));
    SelectColumn("Label");
    uikit::Click(Page(), kRemoveColumn);
    uikit::ClickUpDown(Page(), kMoveColumn, false);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size", "Comment"}));

    SelectColumn("Size");
    uikit::ClickUpDown(Page(), kMoveColumn, true);  // nobody takes Label's place
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size", "Comment"}));

    SelectColumn("Comment");
    uikit::ClickUpDown(Page(), kMoveColumn, false);  // already last
    uikit::ClickUpDown(Page(), kMoveColumn, true);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Comment", "Size"}));
    EXPECT_EQ(SelectedText(kDefinedColumns), "Comment");
    EXPECT_EQ(Width(), "200");
    EXPECT_EQ(Level("User").FindColumn("Label")->position, 0);
    EXPECT_EQ(Level("User").FindColumn("Comment")->position, 1);
    EXPECT_EQ(Level("User").FindColumn("Size")->position, 2);

    // Typing now still changes the moved column.
    uikit::TypeText(Page(), kColumnWidth, "210");
    Apply();
    const std::string columns = kDisplay + "\\User\\List\\Columns\\";
    EXPECT_EQ(harness_->Export(columns + "1"),
              "[HKEY_LOCAL_MACHINE\\" + columns + "1]\n@=\"Comment\"\n\"Width\"=dword:000000d2\n");
    EXPECT_EQ(harness_->Export(columns + "2"),
              "[HKEY_LOCAL_MACHINE\\" + columns + "2]\n@=\"Size\"\n\"Width\"=dword:00000046\n");
}

TEST_F(DisplayPageTest, RemovingAColumnRenumbersAndSelectsTheNextOne) {
    Open(Area(ColumnKey("User", 0, "Label", 100) + ColumnKey("User", 1, "Size", 70) +
              ColumnKey("User", 2, "Comment", 200) + ColumnKey("User", 3, "Release", 50)));
    SelectColumn("Size");
    uikit::Click(Page(), kRemoveColumn);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Comment", "Release"}));
    EXPECT_EQ(SelectedText(kDefinedColumns), "Comment");
    EXPECT_EQ(Width(), "200");
    EXPECT_EQ(Level("User").FindColumn("Comment")->position, 1);
    EXPECT_EQ(Level("User").FindColumn("Release")->position, 2);
    EXPECT_EQ(RowsOf(kSortColumn), (Rows{"Label", "Comment", "Release"}));

    SelectColumn("Release");  // the last row: the one before it is selected
    uikit::Click(Page(), kRemoveColumn);
    EXPECT_EQ(SelectedText(kDefinedColumns), "Comment");

    Apply();
    EXPECT_FALSE(KeyExists(kDisplay + "\\User\\List\\Columns\\2"));
    EXPECT_EQ(Value(kDisplay + "\\User\\List\\Columns\\1", "")->second,
              (std::vector<uint8_t>{'C', 'o', 'm', 'm', 'e', 'n', 't', 0}));
}

TEST_F(DisplayPageTest, SortColumnStaysOnItsColumnThroughMovesAndRemovals) {
    Open(Area(ColumnKey("User", 0, "Label", 100) + ColumnKey("User", 1, "Size", 70) +
              ColumnKey("User", 2, "Comment", 200) + ColumnKey("User", 3, "Release", 50) +
              "[Display\\User\\List\\Sort]\n@=\"2\"\n"));
    EXPECT_EQ(SelectedText(kSortColumn), "Comment");

    SelectColumn("Comment");
    uikit::ClickUpDown(Page(), kMoveColumn, true);  // Comment to 1
    EXPECT_EQ(Level("User").sortColumn, 1);
    SelectColumn("Release");
    uikit::ClickUpDown(Page(), kMoveColumn, true);  // Release swaps with Size
    EXPECT_EQ(Level("User").sortColumn, 1);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Comment", "Release", "Size"}));

    uikit::ChooseComboText(Page(), kSortColumn, "Size");
    EXPECT_EQ(Level("User").sortColumn, 3);
    SelectColumn("Comment");
    uikit::Click(Page(), kRemoveColumn);  // an earlier column goes
    EXPECT_EQ(Level("User").sortColumn, 2);
    EXPECT_EQ(SelectedText(kSortColumn), "Size");
    EXPECT_EQ(RowsOf(kSortColumn), (Rows{"Label", "Size", "Release"}));

    SelectColumn("Size");
    uikit::Click(Page(), kRemoveColumn);  // the sort column itself goes
    EXPECT_EQ(Level("User").sortColumn, 0);
    EXPECT_EQ(SelectedText(kSortColumn), "Label");

    Apply();
    EXPECT_EQ(Value(kDisplay + "\\User\\List\\Sort", "")->second, (std::vector<uint8_t>{'0', 0}));
}

TEST_F(DisplayPageTest, WidthEditTakesDigitsAndAnEmptyEditIsZero) {
    Open(kSeed);
    SelectLevel("Expert");
    SelectColumn("Size");
    uikit::TypeText(Page(), kColumnWidth, "120");
    EXPECT_EQ(Level("Expert").FindColumn("Size")->width, 120u);
    uikit::TypeText(Page(), kColumnWidth, "4x5");
    EXPECT_EQ(Width(), "45");
    EXPECT_EQ(Level("Expert").FindColumn("Size")->width, 45u);
    uikit::TypeText(Page(), kColumnWidth, "12345678901234");
    EXPECT_LE(Width().size(), 9u);
    uikit::TypeText(Page(), kColumnWidth, "");
    EXPECT_EQ(Level("Expert").FindColumn("Size")->width, 0u);

    // Showing another column does not store anything into it.
    SelectColumn("Extension");
    EXPECT_EQ(Width(), "60");
    EXPECT_EQ(Level("Expert").FindColumn("Extension")->width, 60u);
    EXPECT_EQ(Level("Expert").FindColumn("Size")->width, 0u);

    // Reading the fields back with an empty width complains, but the descending flag is taken.
    uikit::TypeText(Page(), kColumnWidth, "");
    Ui().Answer(fw::MsgAnswer::Ok);
    uikit::Click(Page(), kSortDescending);
    ASSERT_EQ(Ui().MessageTexts(), (std::vector<std::string>{"Please enter a positive integer."}));
    EXPECT_FALSE(Level("Expert").descending);
}

TEST_F(DisplayPageTest, KeysInTheListsActOnlyAfterAPressInTheSameList) {
    Open(kSeed);
    SelectLevel("Expert");
    // A release without its press (the press went to a message box, say) does nothing.
    uikit::ReleaseKey(Page(), kDefinedLevels, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Expert"}));
    // Nor does a release after a press in another list.
    uikit::PressKey(Page(), kSupportedLevels, fw::kVkDelete);
    uikit::ReleaseKey(Page(), kDefinedLevels, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Expert"}));

    uikit::TapKey(Page(), kDefinedLevels, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT"}));

    uikit::SelectRowByText(Page(), kSupportedLevels, "Admin");
    uikit::TapKey(Page(), kSupportedLevels, fw::kVkReturn);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"DEFAULT", "Admin"}));
    EXPECT_EQ(SelectedText(kDefinedLevels), "Admin");

    SelectSupportedColumn("Size");
    uikit::TapKey(Page(), kSupportedColumns, fw::kVkReturn);
    SelectSupportedColumn("Comment");
    uikit::TapKey(Page(), kSupportedColumns, fw::kVkReturn);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size", "Comment"}));

    // Left and Right move the selected column at once.
    uikit::PressKey(Page(), kDefinedColumns, fw::kVkLeft);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Comment", "Size"}));
    uikit::PressKey(Page(), kDefinedColumns, fw::kVkRight);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size", "Comment"}));
    EXPECT_EQ(SelectedText(kDefinedColumns), "Comment");

    uikit::TapKey(Page(), kDefinedColumns, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size"}));
    // Enter in the defined columns and Delete in the supported lists mean nothing.
    uikit::TapKey(Page(), kDefinedColumns, fw::kVkReturn);
    uikit::TapKey(Page(), kSupportedColumns, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size"}));
}

TEST_F(DisplayPageTest, LevelWithoutColumnsGetsItsFirstColumnAtPositionZero) {
    Open(Area("[Display\\Demo\\Tree\\Volumes]\n\"FD\"=dword:00000001\n"));
    EXPECT_EQ(Caption(), "Properties for level: Demo ");
    EXPECT_TRUE(RowsOf(kDefinedColumns).empty());
    uikit::TypeText(Page(), kColumnWidth, "77");  // no column to take it
    uikit::Click(Page(), kRemoveColumn);
    AddColumn("Size");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Size"}));
    EXPECT_EQ(Level("Demo").FindColumn("Size")->position, 0);
    EXPECT_EQ(Level("Demo").FindColumn("Size")->width, 100u);
    // Adding it again selects it.
    AddColumn("Size");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Size"}));
    Apply();
    EXPECT_EQ(Value(kDisplay + "\\Demo\\List\\Columns\\0", "")->second,
              (std::vector<uint8_t>{'S', 'i', 'z', 'e', 0}));
}

TEST_F(DisplayPageTest, AddingColumnsAdvancesAndWrapsTheSupportedSelection) {
    Open(kSeed);
    SelectSupportedColumn("User");
    uikit::Click(Page(), kAddColumn);
    EXPECT_EQ(SelectedText(kSupportedColumns), "Attributes");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Comment", "Size", "User"}));
    EXPECT_EQ(RowsOf(kSortColumn), (Rows{"Label", "Comment", "Size", "User"}));
    EXPECT_EQ(SelectedText(kDefinedColumns), "User");
}

TEST_F(DisplayPageTest, LongNamesAndUnreadableColumnNamesSurviveApply) {
    const std::string longLevel(140, 'x');
    const std::string longColumn(180, 'y');
    Open(Area(ColumnKey(longLevel, 0, "Label", 100) + ColumnKey(longLevel, 1, longColumn, 90) +
              ColumnKey("User", 0, "Label", 100) +
              "[Display\\User\\List\\Columns\\1]\n@=dword:00000003\n\"Width\"=dword:00000050\n"));
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"User", longLevel}));
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", ""}));
    SelectColumn("");
    EXPECT_EQ(Width(), "80");
    SelectLevel(longLevel);
    EXPECT_EQ(Caption(), "Properties for level: " + longLevel + " ");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", longColumn}));

    Apply();
    const std::string columns = kDisplay + "\\" + longLevel + "\\List\\Columns\\1";
    const auto name = Value(columns, "");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(std::string(name->second.begin(), name->second.end()), longColumn + '\0');
    // The name that is no text is written back as it was, not as an empty text.
    const auto odd = Value(kDisplay + "\\User\\List\\Columns\\1", "");
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->first, REG_DWORD);
    EXPECT_EQ(odd->second, (std::vector<uint8_t>{3, 0, 0, 0}));
}

// ---- What the page does not show survives "&Apply" -----------------------------------------

// kSeed with data the layout does not own: a value in the Display key, one in the Expert key,
// an extra value in a column key, a seventh volume and a column key after a gap.
const std::string kForeignSeed =
    kSeed + Area(
                "[Display]\n\"Version\"=dword:00000002\n"
                "[Display\\Expert]\n\"Owner\"=\"service\"\n"
                "[Display\\Expert\\List\\Columns\\1]\n\"Align\"=\"right\"\n"
                "[Display\\Expert\\List\\Columns\\5]\n@=\"Release\"\n\"Width\"=dword:00000030\n"
                "[Display\\Expert\\Tree\\Volumes]\n\"USB\"=dword:00000001\n");

TEST_F(DisplayPageTest, ForeignDataSurvivesApplyMovesWithItsColumnAndIsNeverOverwritten) {
    Open(kForeignSeed);
    const std::string before = Export();
    ASSERT_NE(before.find("\"USB\"=dword:00000001"), std::string::npos);
    SelectLevel("Expert");
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Extension", "Size", "timeModified"}));
    Apply();
    EXPECT_EQ(Export(), before);

    // The column's extra value goes where the column goes.
    SelectColumn("Extension");
    uikit::ClickUpDown(Page(), kMoveColumn, false);
    EXPECT_EQ(RowsOf(kDefinedColumns), (Rows{"Label", "Size", "Extension", "timeModified"}));
    Apply();
    const std::string columns = kDisplay + "\\Expert\\List\\Columns\\";
    EXPECT_EQ(harness_->Export(columns + "1"),
              "[HKEY_LOCAL_MACHINE\\" + columns + "1]\n@=\"Size\"\n\"Width\"=dword:00000046\n");
    EXPECT_EQ(harness_->Export(columns + "2"), "[HKEY_LOCAL_MACHINE\\" + columns +
                                                   "2]\n@=\"Extension\"\n\"Align\"=\"right\"\n"
                                                   "\"Width\"=dword:0000003c\n");

    // Key 5 was not read (4 is missing). However many columns the page adds, it stays behind a
    // gap: never overwritten and never read as a column nobody added.
    auto release = [&](const char* number) {
        return "[HKEY_LOCAL_MACHINE\\" + columns + number +
               "]\n@=\"Release\"\n\"Width\"=dword:00000030\n";
    };
    AddColumn("Comment");  // number 4: key 5 would follow it directly
    Apply();
    EXPECT_FALSE(KeyExists(columns + "5"));
    EXPECT_EQ(harness_->Export(columns + "6"), release("6"));
    AddColumn("User");  // number 5
    Apply();
    EXPECT_EQ(Value(columns + "5", "")->second, (std::vector<uint8_t>{'U', 's', 'e', 'r', 0}));
    EXPECT_FALSE(KeyExists(columns + "6"));
    EXPECT_EQ(harness_->Export(columns + "7"), release("7"));
    EXPECT_TRUE(Ui().Messages().empty());

    // Reloaded, it is still no column, and stays behind a gap through the next addition.
    const Rows shown{"Label", "Size", "Extension", "timeModified", "Comment", "User"};
    harness_->Restore();
    SelectLevel("Expert");
    EXPECT_EQ(RowsOf(kDefinedColumns), shown);
    AddColumn("Attributes");  // number 6
    Apply();
    EXPECT_FALSE(KeyExists(columns + "7"));
    EXPECT_EQ(harness_->Export(columns + "8"), release("8"));
    harness_->Restore();
    SelectLevel("Expert");
    EXPECT_EQ(RowsOf(kDefinedColumns).size(), shown.size() + 1);
    const std::string after = Export();
    EXPECT_NE(after.find("\"Version\"=dword:00000002"), std::string::npos);
    EXPECT_NE(after.find("\"Owner\"=\"service\""), std::string::npos);
    EXPECT_NE(after.find("\"USB\"=dword:00000001"), std::string::npos);
}

TEST_F(DisplayPageTest, RemovedLevelLeavesNothingAndAddedAgainStartsClean) {
    Open(kForeignSeed);
    SelectLevel("Expert");
    uikit::Click(Page(), kRemoveLevel);
    Apply();
    EXPECT_FALSE(KeyExists(kDisplay + "\\Expert"));
    EXPECT_EQ(Value(kDisplay, "Version")->second, (std::vector<uint8_t>{2, 0, 0, 0}));

    uikit::SelectRowByText(Page(), kSupportedLevels, "Expert");
    uikit::Click(Page(), kAddLevel);
    Apply();
    const std::string expert = kHeader + "\\Expert";
    EXPECT_EQ(harness_->Export(kDisplay + "\\Expert"),
              expert + "]\n" + expert + "\\List]\n" + expert + "\\List\\Columns]\n" + expert +
                  "\\List\\Columns\\0]\n@=\"Label\"\n\"Width\"=dword:00000064\n" + expert +
                  "\\List\\Sort]\n@=\"0\"\n\"Descending\"=dword:00000000\n" + expert + "\\Tree]\n" +
                  expert +
                  "\\Tree\\Volumes]\n\"ARCHIV\"=dword:00000000\n\"CD\"=dword:00000000\n"
                  "\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n\"NET\"=dword:00000000\n"
                  "\"VLX\"=dword:00000001\n");
    EXPECT_TRUE(Ui().Messages().empty());
}

}  // namespace

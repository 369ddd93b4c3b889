// The Templates page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/dlg_browse_dir.h"
#include "resources/templates/template_138.h"
#include "tests/pages/templates/templates_page_fixture.h"
#include "tests/support/picker_answers.h"

namespace {

using namespace templatespagetest;

TEST_F(TemplatesPageTest, ShowsTheStoredConfigurationAndAppliesItUnchanged) {
    Open(kArea + kVersion);
    ASSERT_EQ(Export(), kArea);
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(Page().InstallationDir(), "c:\\ctl");
    EXPECT_EQ(RowsOf(kTemplates), (Rows{"Cell", "Expert", "Modul", "Submit"}));
    EXPECT_EQ(RowsOf(kDirectories),
              (Rows{"DEFAULT", "vlx:\\r1\\", "vlx:\\r1\\program\\", "vlx:\\r1\\system\\"}));
    // The first directory is selected; its first template is selected under All available too.
    EXPECT_EQ(Selected(kDirectories), "DEFAULT");
    EXPECT_EQ(Text(kSelectedDirectory), "DEFAULT");
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Modul"}));
    EXPECT_EQ(Selected(kDirectoryTemplates), "Modul");
    EXPECT_EQ(Selected(kTemplates), "Modul");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for template: Modul ");
    EXPECT_EQ(Text(kMask), "*.src;*.dat");
    EXPECT_EQ(Text(kComment), "Module");
    EXPECT_EQ(Text(kFullPath), "%InstallationDir%\\roboter\\template\\modul");
    EXPECT_TRUE(Checked(kFastCreate));
    EXPECT_EQ(LevelBoxes(), (std::vector<bool>{true, true, true, true}));
    // Six pixels per character of the longest directory.
    EXPECT_EQ(Page().Item<fw::ListBox>(kDirectories).GetHorizontalExtent(), 6 * 16);

    Select(kTemplates, "Expert");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for template: Expert ");
    EXPECT_EQ(LevelBoxes(), (std::vector<bool>{false, false, false, true}));
    EXPECT_FALSE(Checked(kFastCreate));
    Select(kDirectories, "vlx:\\r1\\program\\");
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Expert", "Modul"}));
    Select(kDirectoryTemplates, "Modul");
    EXPECT_EQ(Selected(kTemplates), "Modul");

    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Export(), kArea);
}

TEST_F(TemplatesPageTest, NewTemplatesStartBareAndNamesAreChecked) {
    Open(kArea + kVersion);
    uikit::TypeText(Page(), kNewName, "  Report");
    uikit::Click(Page(), kAddTemplate);
    EXPECT_EQ(Text(kNewName), "Report");
    EXPECT_EQ(RowsOf(kTemplates), (Rows{"Cell", "Expert", "Modul", "Submit", "Report"}));
    EXPECT_EQ(Selected(kTemplates), "Report");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for template: Report ");
    EXPECT_EQ(Text(kMask), "ReportMask");
    EXPECT_EQ(Text(kComment), "ReportComment");
    EXPECT_EQ(Text(kFullPath), "");
    EXPECT_FALSE(Checked(kFastCreate));
    EXPECT_EQ(LevelBoxes(), (std::vector<bool>{false, false, false, false}));

    // Enter released in the name edit adds as the button does; a name differing only in case
    // selects the existing template.
    uikit::TypeText(Page(), kNewName, "cELL");
    uikit::TapKey(Page(), kNewName, fw::kVkReturn);
    EXPECT_EQ(Selected(kTemplates), "Cell");
    EXPECT_EQ(Page().Area().templates.size(), 5u);
    // A release whose press went elsewhere does nothing.
    uikit::TypeText(Page(), kNewName, "Other");
    uikit::PressKey(Page(), kMask, fw::kVkReturn);
    uikit::ReleaseKey(Page(), kNewName, fw::kVkReturn);
    EXPECT_EQ(Page().Area().templates.size(), 5u);

    // Blank names add nothing; a backslash would split the key name and is refused.
    uikit::TypeText(Page(), kNewName, "   ");
    uikit::Click(Page(), kAddTemplate);
    EXPECT_TRUE(Ui().Messages().empty());
    Ui().Answer(fw::MsgAnswer::Ok);
    uikit::TypeText(Page(), kNewName, "a\\b");
    uikit::Click(Page(), kAddTemplate);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, "A template name cannot contain a backslash.");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Page().Area().templates.size(), 5u);
    // Names stop at 49 characters, what the directory keys' readers take.
    uikit::TypeText(Page(), kNewName, std::string(60, 'n'));
    EXPECT_EQ(Text(kNewName), std::string(49, 'n'));

    Apply();
    EXPECT_EQ(harness_->Export(kTemplateRoot + "\\Report"),
              Reg(TemplateKey("Report", "", "ReportMask", "ReportComment", 0,
                              {"Admin", "Demo", "Expert", "User"})));
}

TEST_F(TemplatesPageTest, RemovingATemplateAsksOnceHoweverManyDirectoriesOfferIt) {
    Open(kArea + kVersion);
    // Modul is offered in three directories.
    Select(kTemplates, "Modul");
    Ui().Answer(fw::MsgAnswer::Cancel);
    uikit::Click(Page(), kRemoveTemplate);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text,
              "The template you want to delete is defined for some levels!                  \n"
              "\tBy continue you may lose some data!\n\t\tContinue?");
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Exclamation);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::OkCancel);
    EXPECT_EQ(RowsOf(kTemplates).size(), 4u);
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Modul"}));

    Ui().ClearMessages();
    Ui().Answer(fw::MsgAnswer::Ok);
    uikit::TapKey(Page(), kTemplates, fw::kVkDelete);
    EXPECT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(RowsOf(kTemplates), (Rows{"Cell", "Expert", "Submit"}));
    EXPECT_EQ(RowsOf(kDirectoryTemplates), Rows{});
    for (const auto& directory : Page().Area().directories) {
        EXPECT_EQ(directory->FindTemplateName("Modul"), -1) << directory->directory;
    }
    // The row that took its place is selected and shown.
    EXPECT_EQ(Selected(kTemplates), "Submit");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for template: Submit ");

    // A template no directory offers goes without a question.
    uikit::TypeText(Page(), kNewName, "Report");
    uikit::Click(Page(), kAddTemplate);
    Ui().ClearMessages();
    uikit::Click(Page(), kRemoveTemplate);
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Selected(kTemplates), "Submit");

    Apply();
    EXPECT_EQ(harness_->Export(kTemplateRoot + "\\Modul"), "");
    EXPECT_EQ(harness_->Export(kListRoot + "\\vlx:/r1/program/"),
              Reg("[L\\vlx:/r1/program/]\n\"Expert\"=dword:00000001\n"));
    EXPECT_EQ(harness_->Export(kListRoot + "\\DEFAULT"), Reg("[L\\DEFAULT]\n"));
}

TEST_F(TemplatesPageTest, DirectoriesAreAddedInStoredFormAndDefaultStays) {
    Open(kArea + kVersion);
    uikit::TypeText(Page(), kDirectoryPath, "  C:\\CTL\\ROBOTER\\VLX\\R1\\Cell");
    uikit::Click(Page(), kAddDirectory);
    EXPECT_EQ(Text(kDirectoryPath), "vlx:\\r1\\cell\\");
    EXPECT_EQ(RowsOf(kDirectories).back(), "vlx:\\r1\\cell\\");
    EXPECT_EQ(Selected(kDirectories), "vlx:\\r1\\cell\\");
    EXPECT_EQ(Text(kSelectedDirectory), "vlx:\\r1\\cell\\");
    EXPECT_EQ(RowsOf(kDirectoryTemplates), Rows{});

    // Enter in the edit adds as well; one already listed (also spelt with slashes) is selected.
    uikit::TypeText(Page(), kDirectoryPath, "C:\\CTL\\ROBOTER\\VLX\\R1");
    uikit::TapKey(Page(), kDirectoryPath, fw::kVkReturn);
    EXPECT_EQ(Text(kDirectoryPath), "vlx:\\r1\\");
    EXPECT_EQ(Selected(kDirectories), "vlx:\\r1\\");
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Cell", "Modul"}));
    uikit::TypeText(Page(), kDirectoryPath, "VLX:/R1/PROGRAM/");
    uikit::Click(Page(), kAddDirectory);
    EXPECT_EQ(Selected(kDirectories), "vlx:\\r1\\program\\");
    EXPECT_EQ(RowsOf(kDirectories).size(), 5u);

    // A longer directory widens the scrolling.
    const std::string longDir = "d:\\" + std::string(60, 'x') + "\\";
    uikit::TypeText(Page(), kDirectoryPath, longDir);
    uikit::Click(Page(), kAddDirectory);
    EXPECT_EQ(Page().Item<fw::ListBox>(kDirectories).GetHorizontalExtent(),
              6 * static_cast<int>(longDir.size()));
    // One that would not fit the file manager's 100 bytes once its backslash is added is refused.
    Ui().Answer(fw::MsgAnswer::Ok);
    uikit::TypeText(Page(), kDirectoryPath, "d:\\" + std::string(96, 'y'));
    uikit::Click(Page(), kAddDirectory);
    ASSERT_EQ(Ui().MessageTexts(), Rows{"A directory can have at most 99 characters."});
    EXPECT_EQ(RowsOf(kDirectories).size(), 6u);

    // "DEFAULT" stays, by button and by Delete; another one goes, and its successor shows.
    Select(kDirectories, "DEFAULT");
    uikit::Click(Page(), kRemoveDirectory);
    uikit::TapKey(Page(), kDirectories, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDirectories).front(), "DEFAULT");
    Select(kDirectories, "vlx:\\r1\\");
    uikit::TapKey(Page(), kDirectories, fw::kVkDelete);
    EXPECT_EQ(Selected(kDirectories), "vlx:\\r1\\program\\");
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Expert", "Modul"}));

    Apply();
    EXPECT_FALSE(harness_->KeyExists(kListRoot + "\\vlx:/r1/"));
    EXPECT_TRUE(harness_->KeyExists(kListRoot + "\\vlx:/r1/cell/"));
    EXPECT_TRUE(harness_->KeyExists(kListRoot + "\\" + templates::DirectoryKeyName(longDir)));
}

TEST_F(TemplatesPageTest, TemplatesAreEnabledAndDisabledPerDirectory) {
    Open(kArea + kVersion);
    Select(kDirectories, "vlx:\\r1\\program\\");
    Select(kTemplates, "Submit");
    uikit::Click(Page(), kEnableForDirectory);
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Expert", "Modul", "Submit"}));
    EXPECT_EQ(Selected(kDirectoryTemplates), "Submit");
    // Enabling it again only selects it; Enter in All available enables too.
    uikit::Click(Page(), kEnableForDirectory);
    Select(kTemplates, "Cell");
    uikit::TapKey(Page(), kTemplates, fw::kVkReturn);
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Expert", "Modul", "Submit", "Cell"}));
    EXPECT_EQ(Selected(kTemplates), "Cell");

    // Disabling selects the row that takes its place, or the last one.
    Select(kDirectoryTemplates, "Modul");
    uikit::Click(Page(), kDisableForDirectory);
    EXPECT_EQ(Selected(kDirectoryTemplates), "Submit");
    EXPECT_EQ(Selected(kTemplates), "Submit");
    Select(kDirectoryTemplates, "Cell");
    uikit::TapKey(Page(), kDirectoryTemplates, fw::kVkDelete);
    EXPECT_EQ(RowsOf(kDirectoryTemplates), (Rows{"Expert", "Submit"}));
    EXPECT_EQ(Selected(kDirectoryTemplates), "Submit");

    // A template that does not exist selects nothing under All available.
    Select(kDirectories, "vlx:\\r1\\system\\");
    Select(kDirectoryTemplates, "Ghost");
    EXPECT_EQ(Page().SelectedTemplate(), nullptr);
    EXPECT_EQ(Selected(kTemplates), "");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for template:");

    Apply();
    EXPECT_EQ(harness_->Export(kListRoot + "\\vlx:/r1/program/"),
              Reg("[L\\vlx:/r1/program/]\n\"Expert\"=dword:00000001\n"
                  "\"Submit\"=dword:00000001\n"));
}

TEST_F(TemplatesPageTest, PropertiesAreStoredAsTypedOrInStoredForm) {
    Open(kArea + kVersion);
    Select(kTemplates, "Cell");
    uikit::TypeText(Page(), kMask, "*.src;*.dat");
    uikit::TypeText(Page(), kComment, "Cell program, new");
    // The full path is stored lower-cased, with the installation directory as a token and no
    // blanks, while the edit keeps what was typed.
    uikit::TypeText(Page(), kFullPath, "C:\\CTL\\Templates\\New Cell");
    EXPECT_EQ(Text(kFullPath), "C:\\CTL\\Templates\\New Cell");
    EXPECT_EQ(Template("Cell").fullPath, "%InstallationDir%\\templates\\newcell");
    uikit::Click(Page(), kFastCreate);
    uikit::Click(Page(), kDemo);
    uikit::Click(Page(), kAdmin);  // was on
    EXPECT_EQ(Template("Cell").levels, (std::array<std::uint32_t, 4>{1, 0, 1, 0}));

    // Editing one text leaves the others as they are stored.
    Select(kTemplates, "Expert");
    uikit::AppendText(Page(), kComment, "s");
    EXPECT_EQ(Template("Expert").fullPath, "%InstallationDir%\\roboter\\template\\expert");

    // With no template selected, typing changes no record.
    Select(kDirectories, "vlx:\\r1\\system\\");
    Select(kDirectoryTemplates, "Ghost");
    uikit::TypeText(Page(), kFullPath, "c:\\x");
    uikit::Click(Page(), kUser);
    for (const auto& record : Page().Area().templates) {
        EXPECT_NE(record->fullPath, "c:\\x");
    }

    Apply();
    EXPECT_EQ(harness_->Export(kTemplateRoot + "\\Cell"),
              Reg(TemplateKey("Cell", "%InstallationDir%\\\\templates\\\\newcell", "*.src;*.dat",
                              "Cell program, new", 1, {"Admin", "User"})));
    EXPECT_EQ(harness_->Export(kTemplateRoot + "\\Expert"),
              Reg(TemplateKey("Expert", "%InstallationDir%\\\\roboter\\\\template\\\\expert",
                              "*.src;*.dat", "Expert modules", 0, {"Demo", "Expert", "User"})));
}

TEST_F(TemplatesPageTest, AFailedLoadShowsWhatItReadAndApplyKeepsIt) {
    const std::string lists = Reg("[L]\n[L\\DEFAULT]\n\"Modul\"=dword:00000001\n");
    Open(lists);
    EXPECT_FALSE(loaded_);
    EXPECT_EQ(RowsOf(kTemplates), Rows{});
    EXPECT_EQ(RowsOf(kDirectories), Rows{"DEFAULT"});
    EXPECT_EQ(RowsOf(kDirectoryTemplates), Rows{"Modul"});
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for template:");
    Apply();
    EXPECT_EQ(Export(), lists);

    // After every directory is gone, none is shown any more.
    Open(Reg("[L\\vlx:/r1/]\n\"Cell\"=dword:00000001\n"));
    uikit::Click(Page(), kRemoveDirectory);
    EXPECT_EQ(RowsOf(kDirectories), Rows{});
    EXPECT_EQ(RowsOf(kDirectoryTemplates), Rows{});
    EXPECT_EQ(Text(kSelectedDirectory), "Directory");
    // Restore brings the stored state back.
    uikit::Click(Page(), kRestore);
    EXPECT_EQ(RowsOf(kDirectories), Rows{"vlx:\\r1\\"});
    EXPECT_TRUE(Ui().Messages().empty());
}

// Double-clicks the row of the picker's directories list that shows `text`.
void OpenInPicker(fw::Dialog& picker, const std::string& text) {
    const Rows rows = uikit::Rows(picker, res::t138::kDirectories);
    const auto row = std::find(rows.begin(), rows.end(), text);
    ASSERT_NE(row, rows.end()) << text;
    uikit::DoubleClickRow(picker, res::t138::kDirectories, static_cast<int>(row - rows.begin()));
}

TEST_F(TemplatesPageTest, BrowsingForAPathShowsItInItsStoredFormWithoutAddingIt) {
    Open(kArea + kVersion);
    testsupport::PickerRequest asked;
    testsupport::AnswerPicker(Ui(), "C:\\CTL\\Roboter\\VLX\\R1\\Program ", &asked);
    uikit::Click(Page(), kBrowseDirectory);
    EXPECT_TRUE(asked.opened);
    EXPECT_TRUE(asked.directoriesOnly);
    EXPECT_EQ(Text(kDirectoryPath), "vlx:\\r1\\program");
    EXPECT_EQ(RowsOf(kDirectories).size(), 4u);
    uikit::Click(Page(), kAddDirectory);
    EXPECT_EQ(Selected(kDirectories), "vlx:\\r1\\program\\");
    EXPECT_EQ(RowsOf(kDirectories).size(), 4u);

    // Cancel keeps what the edit held, in the same form.
    uikit::TypeText(Page(), kDirectoryPath, " D:\\Data");
    testsupport::CancelPicker(Ui());
    uikit::Click(Page(), kBrowseDirectory);
    EXPECT_EQ(Text(kDirectoryPath), "d:\\data");
    EXPECT_EQ(Ui().ModalRuns(),
              (std::vector<int>{CDlgBrowseDir::kTemplate, CDlgBrowseDir::kTemplate}));
}

TEST_F(TemplatesPageTest, BrowsingForATemplateFileStoresItWithoutItsExtension) {
    Open(kArea + kVersion);
    harness_->Drive().MakeFile("CTL\\Templates\\New Prog.src");
    harness_->Drive().MakeFile("CTL\\Templates\\Other.dat");
    Select(kTemplates, "Submit");
    // The user opens folders and double-clicks the file, which ends the picker with OK.
    bool filesOffered = false;
    Ui().OnModal([&](fw::Dialog& picker) {
        filesOffered = !static_cast<CDlgBrowseDir&>(picker).directoriesOnly;
        OpenInPicker(picker, "[CTL]");
        OpenInPicker(picker, "[Templates]");
        OpenInPicker(picker, "New Prog.src");
    });
    uikit::Click(Page(), kBrowseFullPath);
    EXPECT_TRUE(filesOffered);
    EXPECT_EQ(Template("Submit").fullPath, "%InstallationDir%\\templates\\newprog");
    EXPECT_EQ(Text(kFullPath), "%InstallationDir%\\templates\\newprog");

    // Cancel changes nothing; a path the file manager could not read back is refused.
    testsupport::CancelPicker(Ui());
    uikit::Click(Page(), kBrowseFullPath);
    Ui().Answer(fw::MsgAnswer::Ok);
    testsupport::AnswerPicker(Ui(), "D:\\" + std::string(100, 'p') + ".src");
    uikit::Click(Page(), kBrowseFullPath);
    EXPECT_EQ(Ui().MessageTexts(), Rows{"A full path can have at most 99 characters."});
    EXPECT_EQ(Template("Submit").fullPath, "%InstallationDir%\\templates\\newprog");
    EXPECT_EQ(Text(kFullPath), "%InstallationDir%\\templates\\newprog");

    Apply();
    EXPECT_EQ(harness_->Export(kTemplateRoot + "\\Submit"),
              Reg(TemplateKey("Submit", "%InstallationDir%\\\\templates\\\\newprog", "*.sub",
                              "Submit program", 0, {"Admin"})));
}

}  // namespace

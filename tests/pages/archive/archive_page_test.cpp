// The Archive Manager page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "pages/archive/archive_registry.h"
#include "pages/archive/tab_dlg_archive_manager.h"
#include "resources/templates/template_136.h"
#include "resources/templates/template_138.h"
#include "resources/templates/template_142.h"
#include "tests/support/page_harness.h"
#include "tests/support/picker_answers.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t136;
using Rows = std::vector<std::string>;
using Checks = std::vector<bool>;

const std::string kArchive = archive::kArchiveKeyPath;
const std::string kConfig = archive::kConfigKeyPath;
const std::string kPathArea = archive::kPathKeyPath;
const std::string kHeader = "[HKEY_LOCAL_MACHINE\\" + kArchive;

// .reg text in which "[Archive" stands for the Archive key.
std::string Area(std::string body) {
    const std::string marker = "[Archive";
    for (std::string::size_type pos = 0; (pos = body.find(marker, pos)) != std::string::npos;
         pos += kHeader.size()) {
        body.replace(pos, marker.size(), kHeader);
    }
    return body;
}

const std::string kVorna = "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH";
const std::string kCustomer = "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer";

// The archive area in the export's order (keys and values sorted), with the History page's
// values in the Archive key and a configuration value of its own.
const std::string kArchiveSeed = Area(
    "[Archive]\n\"History\"=dword:00000001\n"
    "[Archive\\Config]\n"
    "[Archive\\Config\\All]\n\"Comment\"=\"everything\"\n"
    "[Archive\\Config\\All\\FileSource]\n\"c:\\\\vlx\\\\roboter\\\\log\\\\\"=\"No\"\n"
    "\"vlx:\\\\r1\\\\program\\\\\"=\"\"\n"
    "[Archive\\Config\\All\\RegistrySource]\n"
    "\"HKEY_LOCAL_MACHINE\\\\Software\\\\VORNA Customer\"=\"\"\n"
    "\"HKEY_LOCAL_MACHINE\\\\Software\\\\VORNA Roboter GmbH\\\\VORNA OPX\"=\"\"\n"
    "[Archive\\Config\\Protocols]\n"
    "[Archive\\Config\\Protocols\\FileSource]\n\"d:\\\\data\\\\protocol.txt\"=\"No\"\n"
    "[Archive\\Config\\Protocols\\RegistrySource]\n"
    "[Archive\\Path]\n"
    "[Archive\\Path\\Disk]\n\"c:\\\\temp\\\\archive\\\\\"=\"\"\n\"d:\\\\archive\\\\\"=\"Default\"\n"
    "[Archive\\Path\\USB]\n\"e:\\\\archive\\\\\"=\"\"\n\"f:\\\\archive\\\\\"=\"Default\"\n"
    "\"g:\\\\archive\\\\\"=\"\"\n");

// Beside the area: the installation directory and keys for the registry source picker.
const std::string kSeed = kArchiveSeed +
                          "[HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3\\Gripper]\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n"
                          "\"InstallationDir\"=\"C:\\\\VLX\"\n"
                          "[HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH\\Quorin3\\" +
                          std::string(60, 'L') + "]\n";

class ArchivePageTest : public ::testing::Test {
  protected:
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgArchiveManager>(kTemplate);
        loaded_ = harness_->LoadResult();
    }

    CTabDlgArchiveManager& Page() { return *page_; }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    Rows RowsOf(int id) { return uikit::Rows(*page_, id); }
    Checks ChecksOf(int id) { return uikit::Checks(*page_, id); }
    std::string Text(int id) { return page_->GetItemText(id); }
    std::string Selected(int id) { return page_->FindControl(id)->GetText(); }
    int SelectedRow(int id) { return page_->Item<fw::ListBox>(id).GetCurSel(); }
    std::string Export(const std::string& path = kArchive) { return harness_->Export(path); }
    void Click(int id) { uikit::Click(*page_, id); }
    void Select(int id, const std::string& text) { uikit::SelectRowByText(*page_, id, text); }
    void Type(int id, const std::string& text) { uikit::TypeText(*page_, id, text); }

    // "Add reg source" with the picker driven to check `checks` (item paths) after typing
    // `typed`, then OK (or Cancel).
    void AddRegistrySources(const std::vector<Rows>& checks, const std::string& typed = "",
                            bool ok = true) {
        Ui().OnModal([checks, typed, ok](fw::Dialog& d) {
            if (!typed.empty()) {
                uikit::TypeText(d, res::t142::kManualEntry, typed);
            }
            for (const Rows& path : checks) {
                uikit::SetTreeCheck(d, res::t142::kKeyTree,
                                    uikit::FindTreeItem(d, res::t142::kKeyTree, path), true);
            }
            uikit::Click(d, ok ? fw::kIdOk : fw::kIdCancel);
        });
        Click(kAddRegistrySource);
    }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgArchiveManager* page_ = nullptr;  // owned by the harness
    bool loaded_ = false;
};

TEST_F(ArchivePageTest, ShowsBothAreasAndAppliesThemUnchanged) {
    Open(kSeed);
    ASSERT_EQ(Export(), kArchiveSeed);
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(Page().InstallationDir(), "c:\\vlx");

    EXPECT_EQ(RowsOf(kConfigurations), (Rows{"All", "Protocols"}));
    EXPECT_EQ(Selected(kConfigurations), "All");
    EXPECT_EQ(Text(kRegistrySourcesCaption), "Registry sources for: All ");
    EXPECT_EQ(Text(kFileSourcesCaption), "File sources for: All ");
    EXPECT_EQ(RowsOf(kRegistrySources), (Rows{kCustomer, kVorna + "\\VORNA OPX"}));
    EXPECT_EQ(RowsOf(kFileSources), (Rows{"c:\\vlx\\roboter\\log\\", "vlx:\\r1\\program\\"}));
    EXPECT_EQ(ChecksOf(kFileSources), (Checks{false, true}));
    EXPECT_EQ(SelectedRow(kRegistrySources), 0);
    EXPECT_EQ(SelectedRow(kFileSources), 0);
    // 6.7 pixels per character of the longest source.
    EXPECT_EQ(Page().Item<fw::ListBox>(kRegistrySources).GetHorizontalExtent(),
              static_cast<int>((kVorna + "\\VORNA OPX").size() * 67 / 10));
    EXPECT_EQ(Page().Item<fw::ListBox>(kFileSources).GetHorizontalExtent(),
              static_cast<int>(std::string("c:\\vlx\\roboter\\log\\").size() * 67 / 10));

    EXPECT_EQ(RowsOf(kPathNames), (Rows{"Disk", "USB"}));
    EXPECT_EQ(Text(kPathsCaption), "Defined paths for: Disk");
    EXPECT_EQ(RowsOf(kPaths), (Rows{"c:\\temp\\archive\\", "d:\\archive\\"}));
    EXPECT_EQ(ChecksOf(kPaths), (Checks{false, true}));
    EXPECT_EQ(Text(kPathName), "Disk");
    EXPECT_EQ(Text(kPath), "c:\\temp\\archive\\");

    Select(kConfigurations, "Protocols");
    EXPECT_EQ(Text(kRegistrySourcesCaption), "Registry sources for: Protocols ");
    EXPECT_TRUE(RowsOf(kRegistrySources).empty());
    EXPECT_EQ(ChecksOf(kFileSources), (Checks{false}));
    Select(kPathNames, "USB");
    Select(kPaths, "g:\\archive\\");
    EXPECT_EQ(Text(kPath), "g:\\archive\\");
    EXPECT_EQ(ChecksOf(kPaths), (Checks{false, true, false}));

    harness_->Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Export(), kArchiveSeed);
}

TEST_F(ArchivePageTest, AMissingPathKeyStillShowsAndKeepsTheConfigurations) {
    const std::string config =
        Area("[Archive\\Config\\All\\RegistrySource]\n\"HKEY_CURRENT_USER\\\\Software\"=\"\"\n");
    Open(Area("[Archive]\n\"History\"=dword:00000001\n") + config);
    EXPECT_FALSE(loaded_);
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(RowsOf(kConfigurations), (Rows{"All"}));
    EXPECT_EQ(RowsOf(kRegistrySources), (Rows{"HKEY_CURRENT_USER\\Software"}));
    EXPECT_TRUE(RowsOf(kPathNames).empty());
    EXPECT_EQ(Text(kPathsCaption), "Paths defined in: ...");
    harness_->Apply();
    EXPECT_EQ(Export(kConfig + "\\All\\RegistrySource"), config);
    EXPECT_FALSE(harness_->KeyExists(kPathArea));
    EXPECT_TRUE(harness_->Registry().Value(HKEY_LOCAL_MACHINE, kArchive, "History").has_value());

    // Nothing there at all: the initial captions stay, adding works as usual.
    Open("");
    EXPECT_FALSE(loaded_);
    EXPECT_EQ(Text(kRegistrySourcesCaption), "Registry sources for: ...");
    EXPECT_EQ(Text(kFileSourcesCaption), "File sources for: ...");
    Type(kNewConfiguration, "Fresh");
    Click(kAddConfiguration);
    Type(kPathName, "Disk");
    Type(kPath, "d:\\");
    Click(kAddPath);
    harness_->Apply();
    EXPECT_EQ(
        Export(),
        Area("[Archive]\n[Archive\\Config]\n[Archive\\Config\\Fresh]\n"
             "[Archive\\Config\\Fresh\\FileSource]\n[Archive\\Config\\Fresh\\RegistrySource]\n"
             "[Archive\\Path]\n[Archive\\Path\\Disk]\n\"d:\\\\\"=\"Default\"\n"));
}

TEST_F(ArchivePageTest, ConfigurationsAreAddedOnceRefusedWhenNoKeyNameAndRemovedForGood) {
    Open(kSeed);
    const std::string refused =
        "The name of an archive configuration must not be empty and must not contain a "
        "backslash.";
    const struct {
        const char* typed;
        Rows rows;
        const char* selected;
        bool error;
    } cases[] = {
        {"all", {"All", "Protocols"}, "All", false},  // another case: only selected
        {"", {"All", "Protocols"}, "All", true},
        {"a\\b", {"All", "Protocols"}, "All", true},
        {" Spaced ", {"All", "Protocols", " Spaced "}, " Spaced ", false},  // taken as typed
        {"New", {"All", "Protocols", " Spaced ", "New"}, "New", false},
    };
    for (const auto& c : cases) {
        Select(kConfigurations, "All");
        Ui().ClearMessages();
        if (c.error) {
            Ui().Answer(fw::MsgAnswer::Ok);
        }
        Type(kNewConfiguration, c.typed);
        Click(kAddConfiguration);
        EXPECT_EQ(RowsOf(kConfigurations), c.rows) << c.typed;
        EXPECT_EQ(Selected(kConfigurations), c.selected) << c.typed;
        EXPECT_EQ(Page().Area().configurations.size(), c.rows.size()) << c.typed;
        ASSERT_EQ(Ui().Messages().size(), c.error ? 1u : 0u) << c.typed;
        if (c.error) {
            EXPECT_EQ(Ui().Messages()[0].text, refused);
            EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
        }
    }
    EXPECT_EQ(Text(kRegistrySourcesCaption), "Registry sources for: New ");
    EXPECT_TRUE(RowsOf(kFileSources).empty());

    // Removing selects the row at the same place, or the last one.
    Select(kConfigurations, "Protocols");
    Click(kRemoveConfiguration);
    EXPECT_EQ(RowsOf(kConfigurations), (Rows{"All", " Spaced ", "New"}));
    EXPECT_EQ(Selected(kConfigurations), " Spaced ");
    Select(kConfigurations, "New");
    Click(kRemoveConfiguration);
    EXPECT_EQ(Selected(kConfigurations), " Spaced ");
    harness_->Apply();
    EXPECT_FALSE(harness_->KeyExists(kConfig + "\\Protocols"));
    EXPECT_FALSE(harness_->KeyExists(kConfig + "\\New"));
    EXPECT_TRUE(harness_->KeyExists(kConfig + "\\ Spaced \\FileSource"));
    EXPECT_EQ(Export(kConfig + "\\All"),
              kArchiveSeed.substr(kArchiveSeed.find(kHeader + "\\Config\\All]"),
                                  kArchiveSeed.find(kHeader + "\\Config\\Protocols]") -
                                      kArchiveSeed.find(kHeader + "\\Config\\All]")));
    // The removed configuration does not come back.
    harness_->Restore();
    EXPECT_EQ(RowsOf(kConfigurations), (Rows{" Spaced ", "All"}));

    // Down to none: the source lists empty, the captions keep their text.
    Click(kRemoveConfiguration);
    Click(kRemoveConfiguration);
    Click(kRemoveConfiguration);
    EXPECT_TRUE(RowsOf(kConfigurations).empty());
    EXPECT_TRUE(RowsOf(kRegistrySources).empty());
    EXPECT_EQ(Text(kFileSourcesCaption), "File sources for: All ");
}

TEST_F(ArchivePageTest, RegistrySourcesFromThePickerAreAddedOnceAndRemoved) {
    Open(kSeed);
    // The typed one first, then the checked ones in display order; one is there already.
    AddRegistrySources({{"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH", "Quorin3"},
                        {"HKEY_LOCAL_MACHINE", "Software", "VORNA Customer"},
                        {"HKEY_LOCAL_MACHINE", "Software", "VORNA Customer", "Cell 3"}},
                       "  HKEY_CURRENT_USER\\Software\\Typed");
    const std::string user = "HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH\\Quorin3";
    const Rows afterFirst = {kCustomer, kVorna + "\\VORNA OPX",
                             "HKEY_CURRENT_USER\\Software\\Typed", kCustomer + "\\Cell 3", user};
    EXPECT_EQ(RowsOf(kRegistrySources), afterFirst);
    EXPECT_EQ(Selected(kRegistrySources), user);
    EXPECT_EQ(Page().Area().configurations[0]->registrySources, afterFirst);
    std::size_t longest = 0;
    for (const std::string& row : afterFirst) {
        longest = std::max(longest, row.size());
    }
    EXPECT_EQ(Page().Item<fw::ListBox>(kRegistrySources).GetHorizontalExtent(),
              static_cast<int>(longest * 67 / 10));

    // The same key again, in another case: only selected.
    AddRegistrySources({}, "hkey_local_machine\\software\\vorna customer");
    EXPECT_EQ(RowsOf(kRegistrySources), afterFirst);
    EXPECT_EQ(Selected(kRegistrySources), kCustomer);
    // Cancel adds nothing, even with items checked.
    const Rows gripper = {"HKEY_LOCAL_MACHINE", "Software", "VORNA Customer", "Cell 3", "Gripper"};
    AddRegistrySources({gripper}, "x", false);
    EXPECT_EQ(RowsOf(kRegistrySources), afterFirst);
    EXPECT_TRUE(Ui().Messages().empty());
    // A key longer than the archive manager reads is refused with a message; the others are
    // added.
    const std::string deep = user + "\\" + std::string(60, 'L');
    Ui().Answer(fw::MsgAnswer::Ok);
    AddRegistrySources(
        {gripper,
         {"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH", "Quorin3", std::string(60, 'L')}},
        std::string(99, 'k'));
    Rows afterAll = afterFirst;
    afterAll.push_back(std::string(99, 'k'));
    afterAll.push_back(kCustomer + "\\Cell 3\\Gripper");
    EXPECT_EQ(RowsOf(kRegistrySources), afterAll);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text,
              "Longer than 99 characters, so the archive manager could not read it; not "
              "added:\n" +
                  deep);
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Ui().ModalRuns(), (std::vector<int>{142, 142, 142, 142}));

    // Removing selects the row at the same place, or the new last one.
    Select(kRegistrySources, kCustomer + "\\Cell 3");
    Click(kRemoveRegistrySource);
    EXPECT_EQ(Selected(kRegistrySources), user);
    Click(kRemoveRegistrySource);
    EXPECT_EQ(Selected(kRegistrySources), std::string(99, 'k'));
    uikit::SelectRow(Page(), kRegistrySources,
                     static_cast<int>(RowsOf(kRegistrySources).size()) - 1);
    Click(kRemoveRegistrySource);
    EXPECT_EQ(Selected(kRegistrySources), std::string(99, 'k'));
    harness_->Apply();
    EXPECT_EQ(Export(kConfig + "\\All\\RegistrySource"),
              Area("[Archive\\Config\\All\\RegistrySource]\n"
                   "\"HKEY_CURRENT_USER\\\\Software\\\\Typed\"=\"\"\n"
                   "\"HKEY_LOCAL_MACHINE\\\\Software\\\\VORNA Customer\"=\"\"\n"
                   "\"HKEY_LOCAL_MACHINE\\\\Software\\\\VORNA Roboter GmbH\\\\VORNA OPX\"=\"\"\n"
                   "\"" +
                   std::string(99, 'k') + "\"=\"\"\n"));

    // Without a configuration the picker is not even opened.
    Select(kConfigurations, "Protocols");
    Click(kRemoveConfiguration);
    Click(kRemoveConfiguration);
    Click(kAddRegistrySource);
    EXPECT_EQ(Ui().ModalRuns().size(), 4u);
}

TEST_F(ArchivePageTest, FileSourceChecksAreStoredAndWrittenAsEmptyOrNo) {
    Open(kSeed);
    uikit::ToggleCheck(Page(), kFileSources, 0);  // the log on
    uikit::ToggleCheck(Page(), kFileSources, 1);  // the programs off
    EXPECT_EQ(Page().Area().configurations[0]->fileSourceEnabled,
              (std::vector<std::uint8_t>{1, 0}));
    Select(kConfigurations, "Protocols");
    Select(kConfigurations, "All");
    EXPECT_EQ(ChecksOf(kFileSources), (Checks{true, false}));
    Click(kRemoveFileSource);  // the first row was selected by showing the configuration
    EXPECT_EQ(RowsOf(kFileSources), (Rows{"vlx:\\r1\\program\\"}));
    EXPECT_EQ(Selected(kFileSources), "vlx:\\r1\\program\\");
    harness_->Apply();
    EXPECT_EQ(Export(kConfig + "\\All\\FileSource"),
              Area("[Archive\\Config\\All\\FileSource]\n\"vlx:\\\\r1\\\\program\\\\\"=\"No\"\n"));
}

TEST_F(ArchivePageTest, AddPathTrimsFindsCaseBlindAndRefusesBadNames) {
    Open(kSeed);
    const struct {
        const char* name;
        const char* path;
        Rows names;
        const char* shownName;  // selected path name afterwards
        Rows paths;
        const char* selectedPath;
        const char* pathEdit;
        bool error;
    } cases[] = {
        // An empty name or path after trimming does nothing.
        {"   ",
         "x:\\",
         {"Disk", "USB"},
         "Disk",
         {"c:\\temp\\archive\\", "d:\\archive\\"},
         "c:\\temp\\archive\\",
         "x:\\",
         false},
        {"Disk",
         "  ",
         {"Disk", "USB"},
         "Disk",
         {"c:\\temp\\archive\\", "d:\\archive\\"},
         "c:\\temp\\archive\\",
         "  ",
         false},
        // Listed already in another case: only selected, shown as stored.
        {" disk ",
         " D:\\ARCHIVE\\ ",
         {"Disk", "USB"},
         "Disk",
         {"c:\\temp\\archive\\", "d:\\archive\\"},
         "d:\\archive\\",
         "d:\\archive\\",
         false},
        // Stored trimmed, as typed, without the controller path rule.
        {"usb",
         " C:\\VLX\\Roboter\\VLX\\Stick ",
         {"Disk", "USB"},
         "USB",
         {"e:\\archive\\", "f:\\archive\\", "g:\\archive\\", "C:\\VLX\\Roboter\\VLX\\Stick"},
         "C:\\VLX\\Roboter\\VLX\\Stick",
         "C:\\VLX\\Roboter\\VLX\\Stick",
         false},
        // A new name with its first path, which is its default.
        {"Net",
         "\\\\server\\a\\",
         {"Disk", "USB", "Net"},
         "Net",
         {"\\\\server\\a\\"},
         "\\\\server\\a\\",
         "\\\\server\\a\\",
         false},
        {"a\\b",
         "x:\\",
         {"Disk", "USB", "Net"},
         "Net",
         {"\\\\server\\a\\"},
         "\\\\server\\a\\",
         "x:\\",
         true},
    };
    for (const auto& c : cases) {
        Ui().ClearMessages();
        if (c.error) {
            Ui().Answer(fw::MsgAnswer::Ok);
        }
        Type(kPathName, c.name);
        Type(kPath, c.path);
        Click(kAddPath);
        EXPECT_EQ(RowsOf(kPathNames), c.names) << c.name;
        EXPECT_EQ(Selected(kPathNames), c.shownName) << c.name;
        EXPECT_EQ(RowsOf(kPaths), c.paths) << c.name;
        EXPECT_EQ(Selected(kPaths), c.selectedPath) << c.name;
        EXPECT_EQ(Text(kPath), c.pathEdit) << c.name;
        ASSERT_EQ(Ui().Messages().size(), c.error ? 1u : 0u) << c.name;
        if (c.error) {
            EXPECT_EQ(Ui().Messages()[0].text,
                      "The name of an archive path must not contain a backslash.");
        }
    }
    EXPECT_EQ(ChecksOf(kPaths), (Checks{true}));
    EXPECT_EQ(Text(kPathsCaption), "Defined paths for: Net");
    harness_->Apply();
    EXPECT_EQ(Export(kPathArea + "\\Net"),
              Area("[Archive\\Path\\Net]\n\"\\\\\\\\server\\\\a\\\\\"=\"Default\"\n"));
    EXPECT_EQ(Export(kPathArea + "\\USB"),
              Area("[Archive\\Path\\USB]\n\"C:\\\\VLX\\\\Roboter\\\\VLX\\\\Stick\"=\"\"\n"
                   "\"e:\\\\archive\\\\\"=\"\"\n\"f:\\\\archive\\\\\"=\"Default\"\n\"g:"
                   "\\\\archive\\\\\"=\"\"\n"));
}

TEST_F(ArchivePageTest, TheDefaultPathActsLikeRadioButtonsAndFollowsRemovals) {
    Open(kSeed);
    Select(kPathNames, "USB");  // e, f (default), g
    // Checking another path makes it the only default; clicking the default keeps it.
    uikit::ToggleCheck(Page(), kPaths, 2);
    EXPECT_EQ(ChecksOf(kPaths), (Checks{false, false, true}));
    uikit::ToggleCheck(Page(), kPaths, 2);
    EXPECT_EQ(ChecksOf(kPaths), (Checks{false, false, true}));
    EXPECT_EQ(Text(kPath), "g:\\archive\\");
    uikit::ToggleCheck(Page(), kPaths, 1);
    EXPECT_EQ(ChecksOf(kPaths), (Checks{false, true, false}));

    // Removing before the default keeps the same default; removing the default makes the first
    // remaining path the default.
    const struct {
        const char* removed;
        Rows left;
        Checks checks;
        const char* selected;
    } steps[] = {
        {"e:\\archive\\", {"f:\\archive\\", "g:\\archive\\"}, {true, false}, "f:\\archive\\"},
        {"g:\\archive\\", {"f:\\archive\\"}, {true}, "f:\\archive\\"},
    };
    for (const auto& s : steps) {
        Select(kPaths, s.removed);
        Click(kRemovePath);
        EXPECT_EQ(RowsOf(kPaths), s.left) << s.removed;
        EXPECT_EQ(ChecksOf(kPaths), s.checks) << s.removed;
        EXPECT_EQ(Selected(kPaths), s.selected) << s.removed;
    }
    Select(kPathNames, "Disk");  // c, d (default)
    Select(kPaths, "d:\\archive\\");
    Click(kRemovePath);
    EXPECT_EQ(ChecksOf(kPaths), (Checks{true}));
    harness_->Apply();
    EXPECT_EQ(
        Export(kPathArea),
        Area("[Archive\\Path]\n[Archive\\Path\\Disk]\n\"c:\\\\temp\\\\archive\\\\\"=\"Default\"\n"
             "[Archive\\Path\\USB]\n\"f:\\\\archive\\\\\"=\"Default\"\n"));

    // Path names go with all their paths; after the last one the caption keeps its text.
    Click(kRemovePathName);
    EXPECT_EQ(RowsOf(kPathNames), (Rows{"USB"}));
    EXPECT_EQ(Selected(kPathNames), "USB");
    EXPECT_EQ(Text(kPathsCaption), "Defined paths for: USB");
    Click(kRemovePathName);
    EXPECT_TRUE(RowsOf(kPathNames).empty());
    EXPECT_TRUE(RowsOf(kPaths).empty());
    EXPECT_EQ(Text(kPathsCaption), "Defined paths for: USB");
    Click(kRemovePath);
    Click(kRemovePathName);
    harness_->Apply();
    // No path name left: no Path key, and the next load fails.
    EXPECT_FALSE(harness_->KeyExists(kPathArea));
    EXPECT_FALSE(harness_->Reload());
}

// The directory picker answered with a typed path, or driven through its lists.
TEST_F(ArchivePageTest, FileSourcesFromTheDirectoryPickerAreStoredInTheirShortFormOnce) {
    Open(kSeed);  // the installation directory is C:\VLX
    harness_->Drive().MakeFile("VLX\\Roboter\\VLX\\R1\\a.txt");
    const std::string log = "c:\\vlx\\roboter\\log\\";
    const std::string programs = "vlx:\\r1\\program\\";
    const std::string longFolder = "C:\\" + std::string(98, 'f');
    const struct {
        const char* what;
        std::string typed;  // "" = Cancel, "<lists>" = walk to a.txt and choose it
        Rows rows;
        Checks checks;
        std::string selected;
        bool error;
    } cases[] = {
        {"a folder below the installation",
         "C:\\VLX\\Roboter\\VLX\\R1",
         {log, programs, "vlx:\\r1\\"},
         {false, true, true},
         "vlx:\\r1\\",
         false},
        {"a file chosen in the lists",
         "<lists>",
         {log, programs, "vlx:\\r1\\", "vlx:\\r1\\a.txt"},
         {false, true, true, true},
         "vlx:\\r1\\a.txt",
         false},
        {"the drive root, once",
         "C:\\",
         {log, programs, "vlx:\\r1\\", "vlx:\\r1\\a.txt", "c:\\"},
         {false, true, true, true, true},
         "c:\\",
         false},
        {"the drive root again",
         "c:\\",
         {log, programs, "vlx:\\r1\\", "vlx:\\r1\\a.txt", "c:\\"},
         {false, true, true, true, true},
         "c:\\",
         false},
        {"an unchecked one again, without its backslash, is checked",
         "C:\\VLX\\Roboter\\Log",
         {log, programs, "vlx:\\r1\\", "vlx:\\r1\\a.txt", "c:\\"},
         {true, true, true, true, true},
         log,
         false},
        {"Cancel",
         "",
         {log, programs, "vlx:\\r1\\", "vlx:\\r1\\a.txt", "c:\\"},
         {true, true, true, true, true},
         log,
         false},
        {"longer than the archive manager reads",
         longFolder,
         {log, programs, "vlx:\\r1\\", "vlx:\\r1\\a.txt", "c:\\"},
         {true, true, true, true, true},
         log,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Ui().ClearMessages();
        testsupport::PickerRequest asked;
        if (c.typed == "<lists>") {
            Ui().OnModal([](fw::Dialog& d) {
                for (const char* folder : {"[VLX]", "[Roboter]", "[VLX]", "[R1]"}) {
                    const Rows rows = uikit::Rows(d, res::t138::kDirectories);
                    const auto row = std::find(rows.begin(), rows.end(), folder) - rows.begin();
                    uikit::DoubleClickRow(d, res::t138::kDirectories, static_cast<int>(row));
                }
                uikit::SelectRowByText(d, res::t138::kDirectories, "a.txt");
                uikit::Click(d, fw::kIdOk);
            });
        } else if (c.typed.empty()) {
            testsupport::CancelPicker(Ui(), &asked);
        } else {
            testsupport::AnswerPicker(Ui(), c.typed, &asked);
        }
        if (c.error) {
            Ui().Answer(fw::MsgAnswer::Ok);
        }
        Click(kAddFileSource);
        EXPECT_TRUE(asked.opened || c.typed == "<lists>");
        EXPECT_FALSE(asked.directoriesOnly && asked.opened);
        EXPECT_EQ(RowsOf(kFileSources), c.rows);
        EXPECT_EQ(ChecksOf(kFileSources), c.checks);
        EXPECT_EQ(Selected(kFileSources), c.selected);
        EXPECT_EQ(Ui().Messages().size(), c.error ? 1u : 0u);
    }
    EXPECT_EQ(Page().Area().configurations[0]->fileSources, cases[6].rows);
    harness_->Apply();
    EXPECT_EQ(Export(kConfig + "\\All\\FileSource"),
              Area("[Archive\\Config\\All\\FileSource]\n\"c:\\\\\"=\"\"\n"
                   "\"c:\\\\vlx\\\\roboter\\\\log\\\\\"=\"\"\n\"vlx:\\\\r1\\\\\"=\"\"\n"
                   "\"vlx:\\\\r1\\\\a.txt\"=\"\"\n\"vlx:\\\\r1\\\\program\\\\\"=\"\"\n"));
}

TEST_F(ArchivePageTest, BrowseForPathFillsThePathEditInItsShortFormOnly) {
    Open(kSeed);
    Type(kPathName, "Stick");
    testsupport::PickerRequest asked;
    testsupport::AnswerPicker(Ui(), "C:\\VLX\\Roboter\\VLX\\R1\\Archive", &asked);
    Click(kBrowseForPath);
    EXPECT_TRUE(asked.opened);
    EXPECT_FALSE(asked.directoriesOnly);
    EXPECT_EQ(Text(kPath), "vlx:\\r1\\archive");
    EXPECT_EQ(Text(kPathName), "Stick");  // what the user typed stays
    EXPECT_EQ(RowsOf(kPathNames), (Rows{"Disk", "USB"}));
    testsupport::CancelPicker(Ui());
    Click(kBrowseForPath);
    EXPECT_EQ(Text(kPath), "vlx:\\r1\\archive");
    Click(kAddPath);
    EXPECT_EQ(RowsOf(kPathNames), (Rows{"Disk", "USB", "Stick"}));
    EXPECT_EQ(RowsOf(kPaths), (Rows{"vlx:\\r1\\archive"}));
    EXPECT_EQ(Ui().ModalRuns(), (std::vector<int>{138, 138}));
}

}  // namespace

// The way back to the controller against a real importer: the configuration is edited on the
// pages of the real main window, Wine's registry editor imports the original configuration, then
// the file --export-for-import made from the edited one, and its export of the areas must be the
// edited configuration, with every removal carried over and everything outside the areas left as
// the controller had it. Both file formats.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "app/store_errors.h"
#include "app/vlx_configurator_dlg.h"
#include "framework/framework.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "resources/templates/template_102.h"
#include "resources/templates/template_129.h"
#include "resources/templates/template_130.h"
#include "resources/templates/template_133.h"
#include "resources/templates/template_136.h"
#include "resources/templates/template_137.h"
#include "tests/support/area_edit.h"
#include "tests/support/page_harness.h"
#include "tests/support/reg_model.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

namespace fs = std::filesystem;
using testsupport::WithoutKeys;
constexpr int kApply = 1015;

const std::string kVorna = "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH";
const std::string kOstrix = kVorna + "\\VORNA OPX\\OCX Control's\\Ostrix";
const std::string kManager = kVorna + "\\Quorin3\\Manager";
const std::string kManagerPath = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager";
// Values of every kind, in a key of their own. Wine's importer gives string data without a
// terminating zero one, and its export cuts strings at a zero inside and shows numbers of another
// size than 4 as 4 bytes; so this key is compared through the importer (the original file
// imported the same way), not with the text.
const std::string kKinds = kManager + "\\Archive\\Every kind";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int Shell(const std::string& command) {
    const int status = std::system((command + " </dev/null >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Wine(const std::string& arguments) {
    return Shell("bash '" VLX_WINE_REGEDIT "' " + arguments);
}

// The same keys and values as a version 5 file in UTF-16, string data in hex included.
std::string AsVersion5(const std::string& text) {
    registry::RegDocument doc;
    EXPECT_EQ(registry::ParseRegText(text, "text", &doc), "");
    registry::RegTextWriter out(registry::RegFileFormat{true, true});
    bool inKey = false;
    for (const registry::RegEntry& e : doc.entries) {
        std::string path = registry::RegRootName(e.root);
        for (const std::string& part : e.path)
            path += "\\" + part;
        if (e.kind == registry::RegEntry::Kind::CreateKey) {
            if (inKey)
                out.EndKey();
            out.BeginKey(path);
            inKey = true;
        } else if (e.kind == registry::RegEntry::Kind::SetValue) {
            out.Value(e.valueName, e.type, e.data.data(), e.data.size());
        }
    }
    if (inKey)
        out.EndKey();
    return out.Finish();
}

// A UTF-16 export as 8-bit text (Windows-1252), as the tests' texts are.
std::string Decode(const std::string& utf16) {
    std::string out;
    for (std::size_t i = 2; i + 1 < utf16.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<uint8_t>(utf16[i]) |
                                                    static_cast<uint8_t>(utf16[i + 1]) << 8);
        uint8_t byte = '?';
        registry::UnicodeToCp1252(unit, &byte);
        if (byte != '\r')
            out += static_cast<char>(byte);
    }
    return out;
}

// The program's subtree as the test kit reads it back from .reg text: keys and values sorted.
std::string Canonical(const std::string& text) {
    testsupport::TempRegistry reg(text);
    return reg.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH");
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream ia(a);
    std::istringstream ib(b);
    std::string la;
    std::string lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(ia, la));
        const bool moreB = static_cast<bool>(std::getline(ib, lb));
        if (!moreA && !moreB)
            return "no difference";
        if (la != lb || moreA != moreB)
            return "line " + std::to_string(line) + ":\n  " + la + "\n  " + lb;
    }
}

class WineImportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ::setenv("VLX_WINEPREFIX", VLX_WINE_IMPORT_PREFIX, 1);
        ready_ = Wine("start") == 0;
    }
    static void TearDownTestSuite() { Wine("stop"); }

    void SetUp() override {
        ASSERT_TRUE(ready_) << "Wine could not be started";
        std::string tmpl = (fs::temp_directory_path() / "vlx-wine-import-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Put(const std::string& name, const std::string& bytes) {
        WriteFile(dir_ / name, bytes);
        return dir_ / name;
    }

    // Wine's export of the program's subtree after importing `files` in order into a registry
    // without it.
    std::string ImportedState(const std::vector<fs::path>& files) {
        const fs::path clear = Put("clear.reg", "REGEDIT4\r\n\r\n[-" + kVorna +
                                                    "]\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software"
                                                    "\\VORNA Customer]\r\n\r\n");
        EXPECT_EQ(Wine("import '" + clear.string() + "'"), 0);
        for (const fs::path& file : files)
            EXPECT_EQ(Wine("import '" + file.string() + "'"), 0) << file;
        const fs::path exported = dir_ / "exported.reg";
        EXPECT_EQ(Wine("export '" + exported.string() + "' '" + kVorna + "'"), 0);
        return Decode(ReadFile(exported));
    }

    static inline bool ready_ = false;
    fs::path dir_;
};

// The engineer's edit, in the real main window on the configuration: removals on five pages,
// each page's "&Apply" clicked, a width changed. The Upgrade Manager page cannot remove its
// area, so the whole area goes the way another program would remove it, through the store.
void EditOnThePages(uikit::UiRecorder& ui) {
    app::InstallRegistryCommandScope();
    // The pages ask before removing what other lists still offer: go on.
    ui.SetDefaultAnswer(fw::MsgAnswer::Ok);
    testsupport::RunMainWindow(ui, DefaultPageTable(), [](CVlxConfiguratorDlg& main) {
        const auto open = [&main](int index) -> CBasicDialogTab& {
            uikit::ClickTab(main, res::t102::kTabs, index);
            return *main.Page(index);
        };
        const auto select = [](CBasicDialogTab& page, int id, const std::string& row) {
            uikit::SelectRowByText(page, id, row);
        };
        CBasicDialogTab& display = open(0);
        select(display, res::t129::kDefinedLevels, "Expert");
        uikit::Click(display, res::t129::kRemoveLevel);
        select(display, res::t129::kDefinedLevels, "Admin");
        select(display, res::t129::kDefinedColumns, "Label");
        uikit::TypeText(display, res::t129::kColumnWidth, "153");
        uikit::Click(display, kApply);

        CBasicDialogTab& filters = open(1);
        select(filters, res::t130::kAllFilters, "Archives");
        uikit::Click(filters, res::t130::kRemoveFilter);
        uikit::Click(filters, kApply);

        CBasicDialogTab& templates = open(4);
        select(templates, res::t133::kTemplates, "Cell");
        uikit::Click(templates, res::t133::kRemoveTemplate);
        uikit::Click(templates, kApply);

        // A configuration, and every path name: the Path key goes with the last one.
        CBasicDialogTab& archive = open(6);
        select(archive, res::t136::kConfigurations, "Applications");
        uikit::Click(archive, res::t136::kRemoveConfiguration);
        select(archive, res::t136::kPathNames, "Disk");
        for (int i = 0; i < 4; ++i)
            uikit::Click(archive, res::t136::kRemovePathName);
        EXPECT_TRUE(uikit::Rows(archive, res::t136::kPathNames).empty());
        uikit::Click(archive, kApply);

        CBasicDialogTab& general = open(8);
        for (const std::vector<std::string>& node :
             {std::vector<std::string>{"d:", "data"}, {"vlx:", "r1", "program"}}) {
            uikit::SelectTreeItem(general, res::t137::kTree,
                                  uikit::FindTreeItem(general, res::t137::kTree, node));
            uikit::Click(general, res::t137::kRemoveFromTree);
        }
        uikit::Click(general, kApply);
    });
    app::RemoveRegistryCommandScope();
    RegistryKey manager;
    ASSERT_EQ(manager.Open(HKEY_LOCAL_MACHINE, kManagerPath.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(manager.DeleteKeyTree("Upgrade"), ERROR_SUCCESS);
    for (const uikit::ShownMessage& message : ui.Messages())
        EXPECT_NE(message.icon, fw::MsgIcon::Error) << message.text;
}

TEST_F(WineImportTest, TheImportGivesTheEditedAreasWithEveryRemovalAndKeepsTheRest) {
    // The controller's configuration, with values of every kind in a key of the Archive area
    // that no page rewrites.
    const std::string original =
        ReadFile(VLX_SAMPLE_FILE) + "\r\n[" + kKinds + "]\r\n" + testsupport::kEveryValueKind;
    const std::string removed[] = {
        kOstrix + "\\Display\\Expert", kOstrix + "\\Filter\\Archives",
        kOstrix + "\\PreDefinedTree\\d:\\data", kOstrix + "\\PreDefinedTree\\vlx:\\r1\\program",
        kOstrix + "\\Template\\Cell", kManager + "\\Archive\\Config\\Applications",
        kManager + "\\Archive\\Path", kManager + "\\Upgrade",
        // What the controller holds that the file never had, inside
        // an area.
        kOstrix + "\\Template\\Added", kManager + "\\Upgrade\\New"};
    // Outside the areas, what the controller holds stays.
    const std::string outside =
        "REGEDIT4\r\n\r\n[" + kVorna + "\\VORNA OPX\\Kestrin\\Recent]\r\n\"File1\"=\"a.src\"\r\n";
    const std::string controllerOnly = outside + "\r\n[" + kOstrix + "\\Template\\Added]\r\n" +
                                       "[" + kManager + "\\Upgrade\\New]\r\n\"x\"=\"y\"\r\n";

    for (const bool version5 : {false, true}) {
        SCOPED_TRACE(version5 ? "version 5" : "REGEDIT4");
        const std::string originalBytes = version5 ? AsVersion5(original) : original;
        std::string editedBytes;
        {
            testsupport::TempRegistry store(originalBytes);
            uikit::UiRecorder ui;
            EditOnThePages(ui);
            if (HasFatalFailure())
                return;
            editedBytes = ReadFile(store.FilePath());
        }
        ASSERT_EQ(editedBytes.substr(0, 2) == "\xFF\xFE", version5);
        const std::string edited = version5 ? Decode(editedBytes) : editedBytes;
        for (std::size_t i = 0; i < 8; ++i)
            EXPECT_EQ(edited.find(removed[i] + "]"), std::string::npos) << removed[i];
        EXPECT_NE(edited.find("\"Width\"=dword:00000099"), std::string::npos);

        const fs::path originalFile = Put("original.reg", originalBytes);
        const fs::path editedFile = Put("edited.reg", editedBytes);
        const fs::path out = dir_ / "out.reg";
        ASSERT_EQ(Shell("'" VLX_PROGRAM "' --registry '" + editedFile.string() +
                        "' --export-for-import '" + out.string() + "'"),
                  0);
        ASSERT_EQ(ReadFile(out).substr(0, 2) == "\xFF\xFE", version5);

        const std::string controller =
            ImportedState({originalFile, Put("controller.reg", controllerOnly), out});
        const std::string reference = ImportedState({editedFile, Put("outside.reg", outside)});
        // Through the importer, byte for byte as the edited file itself arrives.
        EXPECT_TRUE(controller == reference) << FirstDifference(controller, reference);
        // And as the edited file says, value order aside.
        const std::string arrived = Canonical(WithoutKeys(controller, kKinds));
        const std::string expected =
            Canonical(WithoutKeys(edited, kKinds) + "\r\n" + outside.substr(10));
        EXPECT_TRUE(arrived == expected) << FirstDifference(arrived, expected);
        for (const std::string& key : removed)
            EXPECT_EQ(controller.find(key + "]"), std::string::npos) << key;
        EXPECT_NE(controller.find(kKinds + "]"), std::string::npos);
        EXPECT_NE(controller.find(kVorna + "\\VORNA OPX\\Kestrin\\Recent]"), std::string::npos);
    }
}

}  // namespace

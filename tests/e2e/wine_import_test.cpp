// The way back to the controller against a real importer: Wine's registry editor imports the
// original configuration, then the file --export-for-import made from the edited one, and its
// export of the areas must be the edited configuration, with every removal carried over and
// everything outside the areas left as the controller had it. Both file formats.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "registry/reg_text.h"
#include "tests/support/area_edit.h"
#include "tests/support/registry_fixture.h"

namespace {

namespace fs = std::filesystem;
using testsupport::WithoutKeys;

const std::string kVorna = "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH";
const std::string kOstrix = kVorna + "\\VORNA OPX\\OCX Control's\\Ostrix";
const std::string kManager = kVorna + "\\Quorin3\\Manager";
// Values of every kind go into a filter of their own. Wine's importer gives string data without
// a terminating zero one, and its export cuts strings at a zero inside and shows numbers of
// another size than 4 as 4 bytes; so this key is compared through the importer (the original
// file imported the same way), not with the text.
const std::string kKinds = kOstrix + "\\Filter\\Every kind";

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

std::string WithoutLinesStarting(const std::string& text, const std::string& start) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(start, 0) != 0)
            out += line + "\n";
    return out;
}

// The same keys and values as a version 5 file in UTF-16, string data in hex included.
std::string AsVersion5(const std::string& text) {
    registry::RegDocument doc;
    EXPECT_EQ(registry::ParseRegText(text, "text", &doc), "");
    const registry::RegFileFormat v5{true, true};
    std::string out = std::string(registry::RegFileHeader(v5)) + "\r\n";
    for (const registry::RegEntry& e : doc.entries) {
        std::string path = registry::RegRootName(e.root);
        for (const std::string& part : e.path)
            path += "\\" + part;
        if (e.kind == registry::RegEntry::Kind::CreateKey)
            out += "\r\n[" + path + "]\r\n";
        else if (e.kind == registry::RegEntry::Kind::SetValue)
            out += registry::FormatRegValue({e.valueName, e.type, e.data}, true, true) + "\r\n";
    }
    return registry::EncodeRegFileText(out, v5);
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

TEST_F(WineImportTest, TheImportGivesTheEditedAreasWithEveryRemovalAndKeepsTheRest) {
    const std::string original = ReadFile(VLX_SAMPLE_FILE);
    ASSERT_FALSE(original.empty());
    // "&Apply" on the pages: a level, a filter with its list entries, tree nodes, a template
    // with its list entries and an archive configuration removed, the whole upgrade area gone,
    // a width changed, and values of every kind in a filter.
    std::string edited = original;
    for (const std::string& key :
         {kOstrix + "\\Display\\Expert", kOstrix + "\\Filter\\Archives",
          kOstrix + "\\PreDefinedTree\\d:\\data", kOstrix + "\\PreDefinedTree\\vlx:\\r1\\program",
          kOstrix + "\\Template\\Cell", kManager + "\\Archive\\Config\\Applications",
          kManager + "\\Upgrade"})
        edited = WithoutKeys(edited, key);
    edited = WithoutLinesStarting(WithoutLinesStarting(edited, "\"Archives\"="), "\"Cell\"=");
    edited += "\r\n[" + kOstrix + "\\Display\\Admin\\List\\Columns\\0]\r\n" +
              "\"Width\"=dword:00000099\r\n\r\n[" + kKinds + "]\r\n" + testsupport::kEveryValueKind;
    ASSERT_NE(edited.size(), original.size());
    // What the controller holds that the file never had: outside the areas it stays, inside an
    // area it goes.
    const std::string outside =
        "REGEDIT4\r\n\r\n[" + kVorna + "\\VORNA OPX\\Kestrin\\Recent]\r\n\"File1\"=\"a.src\"\r\n";
    const std::string controllerOnly = outside + "\r\n[" + kOstrix + "\\Template\\Added]\r\n" +
                                       "[" + kManager + "\\Upgrade\\New]\r\n\"x\"=\"y\"\r\n";

    for (const bool version5 : {false, true}) {
        SCOPED_TRACE(version5 ? "version 5" : "REGEDIT4");
        const fs::path originalFile =
            Put("original.reg", version5 ? AsVersion5(original) : original);
        const fs::path editedFile = Put("edited.reg", version5 ? AsVersion5(edited) : edited);
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
        EXPECT_EQ(Canonical(WithoutKeys(controller, kKinds)),
                  Canonical(WithoutKeys(edited, kKinds) + "\r\n" + outside.substr(10)));
        EXPECT_EQ(controller.find(kOstrix + "\\Filter\\Archives]"), std::string::npos);
        EXPECT_NE(controller.find(kKinds + "]"), std::string::npos);
    }
}

}  // namespace

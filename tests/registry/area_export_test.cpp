// The import file of the program's areas: imported over the registry it was made for, it gives
// the areas as they are here, removals included, and leaves everything else alone. Runs against
// the .reg file store and, on Windows, the system registry.

#include "registry/area_export.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/area_edit.h"
#include "tests/support/reg_model.h"
#include "tests/support/registry_fixture.h"

namespace {

using testsupport::TempRegistry;

const std::string kOstrix =
    "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix";
const std::string kManager = "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Quorin3\\Manager";
const std::string kVorna = "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH";

const std::string kOriginal =
    "[" + kOstrix + "\\Display\\Admin]\r\n\"Width\"=dword:00000064\r\n" +  //
    "[" + kOstrix + "\\Display\\Expert]\r\n\"Width\"=dword:00000032\r\n" + "[" + kOstrix +
    "\\Filter\\All]\r\n\"Mask\"=\"*.*\"\r\n" + "[" + kOstrix +
    "\\Filter\\Archives]\r\n\"Mask\"=\"*.zip\"\r\n" + "[" + kOstrix +
    "\\FilterList\\Admin]\r\n\"All\"=dword:00000001\r\n" + "\"Archives\"=dword:00000001\r\n" +  //
    "[" + kOstrix + "\\Template\\Cell]\r\n@=\"c:\\\\cell\"\r\n" + "[" + kOstrix +
    "\\PreDefinedTree\\d:\\data]\r\n\"ChangeAllowed\"=dword:00000000\r\n" + "[" + kOstrix +
    "\\BackUp]\r\n\"Config\"=\"All\"\r\n" + "[" + kVorna +
    "\\VORNA OPX\\Kestrin]\r\n\"Outside\"=\"kept\"\r\n" + "[" + kManager +
    "\\Upgrade\\System]\r\n\"File\"=\"vlx.exe\"\r\n" + "[" + kManager +
    "\\Archive]\r\n\"History\"=dword:00000001\r\n" + "[" + kManager +
    "\\Archive\\Config\\All\\FileSource]\r\n\"c:\\\\vlx\\\\\"=\"\"\r\n" + "[" + kManager +
    "\\Archive\\Config\\Applications]\r\n" +  //
    "[" + kManager + "\\Archive\\Path\\Disk]\r\n@=\"Default\"\r\n" + "[" + kVorna +
    "\\Version]\r\n\"InstallationDir\"=\"C:\\\\VLX\"\r\n";

// What "&Apply" on the pages made of it: a level, a filter and its list entry, a template, a tree
// node, an archive configuration and the whole upgrade area removed; values of every kind added.
std::string Edited() {
    std::string text = kOriginal;
    for (const std::string& key :
         {kOstrix + "\\Display\\Expert", kOstrix + "\\Filter\\Archives", kOstrix + "\\FilterList",
          kOstrix + "\\Template\\Cell", kOstrix + "\\PreDefinedTree\\d:\\data",
          kManager + "\\Archive\\Config\\Applications", kManager + "\\Upgrade"})
        text = testsupport::WithoutKeys(text, key);
    return text + "[" + kOstrix + "\\FilterList\\Admin]\r\n\"All\"=dword:00000001\r\n" + "[" +
           kOstrix + "\\Filter\\All]\r\n" + testsupport::kEveryValueKind + "[" + kOstrix +
           "\\PreDefinedTree\\d:]\r\n";
}

// Keys the controller holds that the file never had: one outside the areas stays, one inside
// goes.
const std::string kOnTheControllerOnly =
    "[" + kVorna + "\\VORNA OPX\\Kestrin\\Recent]\r\n\"File1\"=\"a.src\"\r\n" + "[" + kOstrix +
    "\\Template\\Added there]\r\n";

// The program's areas, nested ones and one in other capitals among them.
const std::vector<std::string_view> kAreas{
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\ModulProc",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Template",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\TemplateList",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\PreDefinedTree",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\BackUp",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\File",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Upgrade",
    "Software\\VORNA Roboter GmbH\\Version",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive\\Config",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive\\Path",
    "Software\\Vorna Roboter GmbH\\Version",
};

std::string ExportFor(const registry::RegFileFormat& format) {
    std::string bytes;
    EXPECT_EQ(registry::ExportAreasForImport(kAreas, format, &bytes), ERROR_SUCCESS);
    return bytes;
}

std::string Body(const std::string& file) {
    return file.substr(file.find("\r\n") + 2);
}

TEST(AreaExportTest, ImportedOverTheOriginalItGivesTheAreasAsHereAndKeepsTheRest) {
    std::string out;
    std::string out5;
    {
        TempRegistry edited(Edited());
        out = ExportFor({});
        out5 = ExportFor({true, true});
    }
    std::string expected;
    {
        TempRegistry want(Edited() +
                          testsupport::WithoutKeys(kOnTheControllerOnly, kOstrix + "\\Template"));
        expected = want.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH");
    }
    ASSERT_NE(expected.find("\"Odd type\"=hex(1234):09,08"), std::string::npos) << expected;
    TempRegistry controller("REGEDIT4\r\n\r\n" + kOriginal + kOnTheControllerOnly + Body(out));
    EXPECT_EQ(controller.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH"), expected);

    // The version 5 file says the same in UTF-16, string data in hex included.
    ASSERT_EQ(out5.substr(0, 4), std::string("\xFF\xFEW\0", 4));
    registry::RegDocument doc4;
    registry::RegDocument doc5;
    ASSERT_EQ(registry::ParseRegText(out, "out", &doc4), "");
    ASSERT_EQ(registry::ParseRegText(out5, "out5", &doc5), "");
    EXPECT_EQ(doc4.format, (registry::RegFileFormat{}));
    EXPECT_EQ(doc5.format, (registry::RegFileFormat{true, true}));
    ASSERT_EQ(doc4.entries.size(), doc5.entries.size());
    for (std::size_t i = 0; i < doc4.entries.size(); ++i) {
        const registry::RegEntry& a = doc4.entries[i];
        const registry::RegEntry& b = doc5.entries[i];
        EXPECT_TRUE(a.kind == b.kind && a.path == b.path && a.valueName == b.valueName &&
                    a.type == b.type && a.data == b.data)
            << "entry " << i << " (" << a.valueName << ")";
    }
}

TEST(AreaExportTest, WhichAreasItDeletesAndWrites) {
    const std::string manager = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager";
    const std::string ostrix = "Software\\vorna roboter gmbh\\VORNA OPX\\OCX Control's\\ostrix";
    const std::string lower = "HKEY_LOCAL_MACHINE\\" + ostrix;
    std::string ostrixDeletions;
    for (const char* area : {"Display", "Filter", "FilterList", "ModulProc", "Template",
                             "TemplateList", "PreDefinedTree", "BackUp"})
        ostrixDeletions += "[-" + lower + "\\" + area + "]\r\n\r\n";
    const struct {
        const char* what;
        std::string seed;
        std::string expected;  // after the header line
    } cases[] = {
        {"none of the program's keys: nothing", "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n", ""},
        {"missing areas under present parents are deleted, names as stored, each key once",
         "[HKEY_LOCAL_MACHINE\\" + ostrix + "]\r\n",
         ostrixDeletions + "[-HKEY_LOCAL_MACHINE\\Software\\vorna roboter gmbh\\Version]\r\n\r\n"},
        {"an area inside another one goes with it",
         "[HKEY_LOCAL_MACHINE\\" + manager + "\\Archive\\Config\\All]\r\n\"x\"=dword:00000001\r\n",
         "[-" + kManager + "\\File]\r\n\r\n" + "[-" + kManager + "\\Upgrade]\r\n\r\n" + "[-" +
             kVorna + "\\Version]\r\n\r\n" + "[-" + kManager + "\\Archive]\r\n\r\n" + "[" +
             kManager + "\\Archive]\r\n\r\n" + "[" + kManager + "\\Archive\\Config]\r\n\r\n" + "[" +
             kManager + "\\Archive\\Config\\All]\r\n\"x\"=dword:00000001\r\n\r\n"},
    };
    for (const auto& c : cases) {
        TempRegistry reg(c.seed);
        EXPECT_EQ(ExportFor({}), "REGEDIT4\r\n\r\n" + c.expected) << c.what;
    }
}

}  // namespace

// The template records, their text rules and their registry layout, against a temporary
// registry.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "pages/templates/template_definition.h"
#include "pages/templates/templates_registry.h"
#include "tests/pages/templates/templates_reg_text.h"
#include "tests/support/registry_fixture.h"

namespace {

using templates::TemplatesArea;
using templates::TemplatesRegistry;
using testsupport::TempRegistry;
using Levels = std::array<std::uint32_t, 4>;
using namespace templatestest;

std::string Export(const TempRegistry& reg) {
    return reg.Export(HKEY_LOCAL_MACHINE, kTemplateRoot) +
           reg.Export(HKEY_LOCAL_MACHINE, kListRoot);
}

const std::string kLongTemplate(120, 'T');  // a key name longer than the 100-byte buffer
const std::string kLongOffer(60, 'Z');      // a value name longer than the 50-byte buffer
const std::string kLongComment(150, 'c');

// Both areas with foreign data at every place of the layout, in the export's order: values of
// the root and of a template key the layout does not name, a subkey beside "DisabledUserLevel",
// texts the page could not write back as they are (REG_EXPAND_SZ, no terminating zero), a
// "FastCreate" of 5 and one of a single byte, names and texts longer than the buffers, a
// directory key's default value and subkey.
const std::string kForeign =
    Reg("[T]\n\"Owner\"=\"service\"\n"
        "[T\\Cell]\n@=\"%InstallationDir%\\\\roboter\\\\template\\\\cell\"\n"
        "\"Comment\"=\"Cell program\"\n\"EditMask\"=\"*.src\"\n\"FastCreate\"=dword:00000000\n"
        "\"Icon\"=dword:00000003\n"
        "[T\\Cell\\DisabledUserLevel]\n\"Demo\"=dword:00000001\n\"User\"=dword:00000001\n"
        "[T\\Cell\\Preview]\n\"Lines\"=dword:0000000a\n"
        "[T\\Odd]\n@=hex(2):25,00\n\"Comment\"=hex(1):61,62\n\"EditMask\"=\"*.txt\"\n"
        "\"FastCreate\"=dword:00000005\n"
        "[T\\Odd\\DisabledUserLevel]\n"
        "[T\\" +
        kLongTemplate + "]\n@=\"\"\n\"Comment\"=\"" + kLongComment +
        "\"\n\"EditMask\"=\"\"\n"
        "\"FastCreate\"=hex:01\n"
        "[T\\" +
        kLongTemplate +
        "\\DisabledUserLevel]\n\"Admin\"=dword:00000001\n"
        "\"Expert\"=dword:00000001\n"
        "[L]\n"
        "[L\\DEFAULT]\n@=\"default directory\"\n\"Cell\"=dword:00000001\n"
        "[L\\vlx:/r1/program/]\n\"Cell\"=dword:00000001\n\"Odd\"=dword:00000001\n\"" +
        kLongOffer +
        "\"=dword:00000001\n"
        "[L\\vlx:/r1/program/\\Notes]\n\"x\"=\"y\"\n");

TEST(TemplatesRegistryTest, ForeignDataSurvivesLoadAndSaveByteForByte) {
    TempRegistry reg(kForeign +
                     "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n"
                     "\"InstallationDir\"=\"C:\\\\VLX\"\n");
    ASSERT_EQ(Export(reg), kForeign);
    TemplatesArea area;
    ASSERT_TRUE(TemplatesRegistry::Load(area).Ok());
    EXPECT_EQ(area.installationDir, "c:\\vlx");

    ASSERT_EQ(area.templates.size(), 3u);
    const auto& cell = *area.templates[0];
    EXPECT_EQ(cell.name, "Cell");
    EXPECT_EQ(cell.fullPath, "%InstallationDir%\\roboter\\template\\cell");
    EXPECT_EQ(cell.editMask, "*.src");
    EXPECT_EQ(cell.comment, "Cell program");
    EXPECT_EQ(cell.levels, (Levels{0, 0, 1, 1}));
    const auto& odd = *area.templates[1];
    EXPECT_EQ(odd.fullPath, "%");  // shown as the text it holds, kept as the type it has
    EXPECT_EQ(odd.comment, "");
    EXPECT_EQ(odd.fastCreate, 5u);
    EXPECT_EQ(odd.levels, (Levels{1, 1, 1, 1}));
    const auto& longOne = *area.templates[2];
    EXPECT_EQ(longOne.name, kLongTemplate);
    EXPECT_EQ(longOne.comment, kLongComment);
    EXPECT_EQ(longOne.fastCreate, 1u);
    EXPECT_EQ(longOne.levels, (Levels{1, 1, 0, 0}));

    ASSERT_EQ(area.directories.size(), 2u);
    EXPECT_EQ(area.directories[0]->directory, "DEFAULT");
    EXPECT_EQ(area.directories[1]->directory, "vlx:\\r1\\program\\");
    EXPECT_EQ(area.directories[1]->templateNames,
              (std::vector<std::string>{"Cell", "Odd", kLongOffer}));

    EXPECT_TRUE(TemplatesRegistry::Save(area).Ok());
    EXPECT_EQ(Export(reg), kForeign);

    // A field the page sets drops its stored bytes; removed records go; the rest stays.
    area.templates[1]->SetComment("new");
    area.templates[1]->SetFullPath("c:\\odd");
    area.templates.erase(area.templates.begin());
    area.directories[1]->RemoveTemplateName("CELL");
    area.directories.erase(area.directories.begin());
    TemplatesRegistry::Save(area);
    EXPECT_EQ(Export(reg),
              Reg("[T]\n\"Owner\"=\"service\"\n"
                  "[T\\Odd]\n@=\"c:\\\\odd\"\n\"Comment\"=\"new\"\n\"EditMask\"=\"*.txt\"\n"
                  "\"FastCreate\"=dword:00000005\n"
                  "[T\\Odd\\DisabledUserLevel]\n"
                  "[T\\" +
                  kLongTemplate + "]\n@=\"\"\n\"Comment\"=\"" + kLongComment +
                  "\"\n\"EditMask\"=\"\"\n\"FastCreate\"=hex:01\n"
                  "[T\\" +
                  kLongTemplate +
                  "\\DisabledUserLevel]\n\"Admin\"=dword:00000001\n"
                  "\"Expert\"=dword:00000001\n"
                  "[L]\n"
                  "[L\\vlx:/r1/program/]\n\"Odd\"=dword:00000001\n\"" +
                  kLongOffer +
                  "\"=dword:00000001\n"
                  "[L\\vlx:/r1/program/\\Notes]\n\"x\"=\"y\"\n"));
}

TEST(TemplatesRegistryTest, LevelNamesCountAsSpeltAndTheLayoutIsWrittenExactly) {
    TempRegistry reg(
        Reg("[T\\Plain]\n@=\"c:\\\\t\\\\plain\"\n"
            "[T\\Levels]\n"
            "[T\\Levels\\DisabledUserLevel]\n\"demo\"=dword:00000001\n"
            "\"Expert\"=dword:00000000\n\"Default\"=dword:00000001\n"
            "[T\\Levels\\DisabledUserLevel\\Sub]\n"
            "[L\\vlx:/r1/program/]\n\"Plain\"=dword:00000000\n"));
    TemplatesArea area;
    area.installationDir = "c:\\kept";
    ASSERT_TRUE(TemplatesRegistry::Load(area).Ok());
    EXPECT_EQ(area.installationDir, "c:\\kept");  // no Version key: the last value stays
    ASSERT_EQ(area.templates.size(), 2u);
    const auto& levels = *area.templates[0];
    EXPECT_EQ(levels.name, "Levels");
    // Only "Expert" is spelt as a level (whatever its data); "demo" and "Default" are not.
    EXPECT_EQ(levels.levels, (Levels{1, 1, 0, 1}));
    const auto& plain = *area.templates[1];
    EXPECT_EQ(plain.fullPath, "c:\\t\\plain");
    EXPECT_EQ(plain.fastCreate, 0u);
    EXPECT_EQ(plain.levels, (Levels{1, 1, 1, 1}));
    ASSERT_EQ(area.directories.size(), 1u);
    EXPECT_EQ(area.directories[0]->directory, "vlx:\\r1\\program\\");

    TemplatesRegistry::Save(area);
    EXPECT_EQ(Export(reg), Reg("[T]\n" + TemplateKey("Levels", "", "", "", 0, {"Expert"}) +
                               TemplateKey("Plain", "c:\\\\t\\\\plain", "", "", 0, {}) +
                               "[L]\n"
                               "[L\\vlx:/r1/program/]\n\"Plain\"=dword:00000001\n"));
}

// A root that cannot be opened fails the load, yet the other one is read, and a save then
// rewrites what was read without creating the missing root.
TEST(TemplatesRegistryTest, OneMissingRootFailsTheLoadButTheOtherIsReadAndKept) {
    const std::string templatesOnly = Reg(TemplateKey("A", "a", "", "", 0, {}));
    const std::string listsOnly = Reg("[L\\DEFAULT]\n\"A\"=dword:00000001\n");
    const struct {
        std::string seed;
        bool templatesRead, listsRead;
        std::size_t templateCount, directoryCount;
    } cases[] = {
        {templatesOnly, true, false, 1, 0},
        {listsOnly, false, true, 0, 1},
        {"", false, false, 0, 0},
    };
    for (const auto& c : cases) {
        TempRegistry reg(c.seed);
        const std::string before = Export(reg);
        TemplatesArea area;
        const auto result = TemplatesRegistry::Load(area);
        EXPECT_EQ(result.WasRead(templates::kTemplateKeyPath), c.templatesRead) << c.seed;
        EXPECT_EQ(result.WasRead(templates::kTemplateListKeyPath), c.listsRead) << c.seed;
        EXPECT_FALSE(result.Ok());
        EXPECT_EQ(area.templates.size(), c.templateCount);
        EXPECT_EQ(area.directories.size(), c.directoryCount);
        TemplatesRegistry::Save(area);
        EXPECT_EQ(Export(reg), before) << c.seed;
    }
}

TEST(TemplatesRegistryTest, SavingNoRecordsLeavesNoRootsAndTheNextLoadFails) {
    TempRegistry reg(kForeign);
    TemplatesArea area;
    ASSERT_TRUE(TemplatesRegistry::Load(area).Ok());
    area.templates.clear();
    area.directories.clear();
    area.templateRootValues = {};
    TemplatesRegistry::Save(area);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kTemplateRoot));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kListRoot));
    EXPECT_FALSE(TemplatesRegistry::Load(area).Ok());
}

TEST(TemplateRulesTest, TypedAndPickedPathsTakeTheirStoredForms) {
    const struct {
        const char* input;
        const char* installationDir;
        const char* directoryToAdd;  // "Add to defined"
        const char* browsed;         // "Browse for Path"
        const char* fullPath;        // the stored full path
    } cases[] = {
        {"C:\\CTL\\ROBOTER\\VLX\\R1", "c:\\ctl", "vlx:\\r1\\", "vlx:\\r1",
         "%InstallationDir%\\roboter\\vlx\\r1"},
        {"c:\\ctl\\templates\\new prog", "c:\\ctl", "c:\\ctl\\templates\\new prog\\",
         "c:\\ctl\\templates\\new prog", "%InstallationDir%\\templates\\newprog"},
        {"  D:\\Data  ", "c:\\ctl", "d:\\data\\", "d:\\data", "d:\\data"},
        // Only at a folder boundary, and never for an unknown installation directory.
        {"c:\\ctl2\\roboter\\vlx\\x", "c:\\ctl", "c:\\ctl2\\roboter\\vlx\\x\\",
         "c:\\ctl2\\roboter\\vlx\\x", "c:\\ctl2\\roboter\\vlx\\x"},
        {"c:\\roboter\\vlx\\r1\\", "", "c:\\roboter\\vlx\\r1\\", "c:\\roboter\\vlx\\r1\\",
         "c:\\roboter\\vlx\\r1\\"},
        // A stored form stays as it is; an installation directory with a trailing backslash is
        // the same folder.
        {"%InstallationDir%\\Roboter\\Cell", "c:\\ctl\\", "%installationdir%\\roboter\\cell\\",
         "%installationdir%\\roboter\\cell", "%InstallationDir%\\roboter\\cell"},
        {"c:\\ctl", "c:\\ctl\\", "c:\\ctl\\", "c:\\ctl", "%InstallationDir%"},
        {"   ", "c:\\ctl", "", "", ""},
        // A typed slash is the backslash it is stored as.
        {"C:/CTL/Roboter/VLX/r1/", "c:\\ctl", "vlx:\\r1\\", "c:/ctl/roboter/vlx/r1/",
         "c:/ctl/roboter/vlx/r1/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(templates::DirectoryToAdd(c.input, c.installationDir), c.directoryToAdd)
            << c.input;
        EXPECT_EQ(templates::BrowsedDirectory(c.input, c.installationDir), c.browsed) << c.input;
        EXPECT_EQ(templates::StoredFullPath(c.input, c.installationDir), c.fullPath) << c.input;
    }

    EXPECT_EQ(templates::WithoutExtension("c:\\ctl\\templates\\new prog.src"),
              "c:\\ctl\\templates\\new prog");
    EXPECT_EQ(templates::WithoutExtension("c:\\a.b\\file"), "c:\\a.b\\file");
    EXPECT_EQ(templates::WithoutExtension("c:\\a\\x.tar.gz"), "c:\\a\\x.tar");
    EXPECT_EQ(templates::WithoutExtension("c:\\a\\"), "c:\\a\\");
}

TEST(TemplateRulesTest, RecordsAndLookups) {
    const auto report = templates::MakeNewTemplate("Report");
    EXPECT_EQ(report->editMask, "ReportMask");
    EXPECT_EQ(report->comment, "ReportComment");
    EXPECT_EQ(report->fullPath, "");
    EXPECT_EQ(report->fastCreate, 0u);
    EXPECT_EQ(report->levels, (Levels{0, 0, 0, 0}));

    templates::TemplateList list;
    list.push_back(templates::MakeNewTemplate("Modul"));
    list.push_back(templates::MakeNewTemplate("Report"));
    EXPECT_EQ(templates::FindTemplate(list, "REPORT"), 1);
    EXPECT_EQ(templates::FindTemplate(list, "Repor"), -1);

    // A slash stands for the backslash it is stored as: both name one key.
    templates::DirectoryList directories;
    directories.push_back(std::make_unique<templates::TemplatesListDefinition>());
    directories.back()->directory = "vlx:\\r1\\Program\\";
    EXPECT_EQ(templates::FindDirectory(directories, "VLX:/r1/program/"), 0);
    EXPECT_EQ(templates::FindDirectory(directories, "vlx:\\r1\\"), -1);
    EXPECT_EQ(templates::DirectoryKeyName("vlx:\\r1\\"), "vlx:/r1/");
    EXPECT_EQ(templates::DirectoryFromKeyName("vlx:/r1/"), "vlx:\\r1\\");
}

}  // namespace

// The archive paths and configurations with their registry layout, against a temporary registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/archive/archive_definitions.h"
#include "pages/archive/archive_registry.h"
#include "tests/support/registry_fixture.h"

namespace {

using archive::ArchiveArea;
using archive::ArchiveRegistry;
using testsupport::TempRegistry;
using Strings = std::vector<std::string>;

const std::string kArchive = archive::kArchiveKeyPath;
const std::string kPath = archive::kPathKeyPath;
const std::string kConfig = archive::kConfigKeyPath;
const std::string kHeader = "[HKEY_LOCAL_MACHINE\\" + kArchive;

// .reg text in which "[Archive" stands for the Archive key, in the export's order (keys and
// values sorted), so the export after a save can be compared with it as it stands.
std::string Area(std::string body) {
    const std::string marker = "[Archive";
    for (std::string::size_type pos = 0; (pos = body.find(marker, pos)) != std::string::npos;
         pos += kHeader.size()) {
        body.replace(pos, marker.size(), kHeader);
    }
    return body;
}

std::string Export(const TempRegistry& reg) {
    return reg.Export(HKEY_LOCAL_MACHINE, kArchive);
}

const std::string kLongName(140, 'n');    // beyond the 100-character buffers
const std::string kLongSource(230, 's');  // likewise

// Both areas with foreign data at every place the layout does not own: the History page's
// values in the Archive key, values directly in Path and Config, subkeys of a path name's key,
// values and subkeys of a configuration key, subkeys below its source keys, names beyond the
// buffers.
const std::string kForeignSeed = Area(
    "[Archive]\n\"CompareDate\"=dword:00000001\n\"HistoryPath\"=\"D:\\\\History\"\n"
    "[Archive\\Config]\n\"Version\"=dword:00000002\n"
    "[Archive\\Config\\All]\n\"Comment\"=\"everything\"\n"
    "[Archive\\Config\\All\\FileSource]\n\"c:\\\\vlx\\\\roboter\\\\log\\\\\"=\"No\"\n"
    "\"vlx:\\\\r1\\\\program\\\\\"=\"\"\n"
    "[Archive\\Config\\All\\FileSource\\Options]\n\"Depth\"=dword:00000003\n"
    "[Archive\\Config\\All\\RegistrySource]\n"
    "\"HKEY_LOCAL_MACHINE\\\\Software\\\\VORNA Customer\"=\"\"\n"
    "[Archive\\Config\\All\\Schedule]\n\"Day\"=\"Monday\"\n"
    "[Archive\\Config\\" +
    kLongName + "]\n[Archive\\Config\\" + kLongName + "\\FileSource]\n\"" + kLongSource +
    "\"=\"\"\n[Archive\\Config\\" + kLongName + "\\RegistrySource]\n\"" + kLongSource +
    "\"=\"\"\n"
    "[Archive\\Path]\n\"Comment\"=\"paths\"\n"
    "[Archive\\Path\\Disk]\n\"c:\\\\temp\\\\archive\\\\\"=\"\"\n\"d:\\\\archive\\\\\"=\"Default\"\n"
    "[Archive\\Path\\Disk\\Quota]\n\"MB\"=dword:00000400\n"
    "[Archive\\Path\\" +
    kLongName + "]\n\"" + kLongSource + "\"=\"Default\"\n");

TEST(ArchiveRegistryTest, BothAreasRoundTripByteForByteWithForeignDataKept) {
    TempRegistry reg(kForeignSeed);
    ASSERT_EQ(Export(reg), kForeignSeed);

    ArchiveArea area;
    ASSERT_TRUE(ArchiveRegistry::Load(area));
    ASSERT_EQ(area.pathDefinitions.size(), 2u);
    const archive::ArchivePathDefinition* disk = FindPathDefinition(area.pathDefinitions, "DISK");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->paths, (Strings{"c:\\temp\\archive\\", "d:\\archive\\"}));
    EXPECT_EQ(disk->defaultIndex, 1);
    const archive::ArchivePathDefinition* longPath =
        FindPathDefinition(area.pathDefinitions, kLongName);
    ASSERT_NE(longPath, nullptr);
    EXPECT_EQ(longPath->paths, (Strings{kLongSource}));

    ASSERT_EQ(area.configurations.size(), 2u);
    const archive::ArchiveConfigurationDefinition* all =
        FindConfiguration(area.configurations, "all");
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->fileSources, (Strings{"c:\\vlx\\roboter\\log\\", "vlx:\\r1\\program\\"}));
    EXPECT_EQ(all->fileSourceEnabled, (std::vector<std::uint8_t>{0, 1}));
    EXPECT_EQ(all->registrySources, (Strings{"HKEY_LOCAL_MACHINE\\Software\\VORNA Customer"}));
    const archive::ArchiveConfigurationDefinition* longConfiguration =
        FindConfiguration(area.configurations, kLongName);
    ASSERT_NE(longConfiguration, nullptr);
    EXPECT_EQ(longConfiguration->registrySources, (Strings{kLongSource}));
    EXPECT_EQ(longConfiguration->fileSources, (Strings{kLongSource}));

    ArchiveRegistry::Save(area);
    EXPECT_EQ(Export(reg), kForeignSeed);
}

// The data's type never matters: only whether its first byte is zero.
TEST(ArchiveRegistryTest, DefaultPathAndFileSourceCheckFollowTheFirstDataByte) {
    const struct {
        const char* pathData;  // .reg data of the paths a, b, c, comma-separated by '|'
        int defaultIndex;
    } paths[] = {
        {"\"Default\"|\"\"|\"\"", 0},
        {"\"\"|\"\"|\"\"", 0},                 // none marked: the first
        {"\"\"|\"x\"|\"\"", 1},                // any text marks it
        {"\"Default\"|\"\"|\"Default\"", 2},   // the last marked wins
        {"\"\"|dword:00000001|hex:", 1},       // a number; empty data marks nothing
        {"dword:00000000|hex:00,01|\"\"", 0},  // a zero first byte marks nothing
        {"hex(2):44,00|\"\"|hex(0):01", 2},    // other types alike
    };
    for (const auto& c : paths) {
        std::string values;
        const std::string data = c.pathData;
        const char* names[] = {"a", "b", "c"};
        std::string::size_type start = 0;
        for (const char* name : names) {
            const auto end = data.find('|', start);
            values += std::string("\"") + name + "\"=" + data.substr(start, end - start) + "\n";
            start = end == std::string::npos ? end : end + 1;
        }
        TempRegistry reg(Area("[Archive\\Config]\n[Archive\\Path\\P]\n" + values));
        ArchiveArea area;
        ASSERT_TRUE(ArchiveRegistry::Load(area)) << c.pathData;
        ASSERT_EQ(area.pathDefinitions.size(), 1u);
        EXPECT_EQ(area.pathDefinitions[0]->defaultIndex, c.defaultIndex) << c.pathData;
        // Written back as text: "Default" for the default, empty for the others.
        ArchiveRegistry::Save(area);
        std::string expected = Area("[Archive\\Path\\P]\n");
        for (int i = 0; i < 3; ++i) {
            expected += std::string("\"") + names[i] + "\"=\"" +
                        (i == c.defaultIndex ? "Default" : "") + "\"\n";
        }
        EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kPath + "\\P"), expected) << c.pathData;
    }

    const struct {
        const char* data;
        bool checked;
        const char* written;
    } sources[] = {
        {"\"\"", true, "\"\""},
        {"\"No\"", false, "\"No\""},
        {"\"yes\"", false, "\"No\""},
        {"dword:00000000", true, "\"\""},
        {"dword:00000001", false, "\"No\""},
        {"hex:", true, "\"\""},
        {"hex:00,4e", true, "\"\""},
        {"hex(7):4e,00,00", false, "\"No\""},
    };
    for (const auto& c : sources) {
        TempRegistry reg(Area("[Archive\\Config\\C\\FileSource]\n\"f\"=" + std::string(c.data) +
                              "\n"
                              "[Archive\\Path]\n"));
        ArchiveArea area;
        ASSERT_TRUE(ArchiveRegistry::Load(area)) << c.data;
        ASSERT_EQ(area.configurations.size(), 1u);
        EXPECT_EQ(area.configurations[0]->fileSourceEnabled,
                  (std::vector<std::uint8_t>{static_cast<std::uint8_t>(c.checked ? 1 : 0)}))
            << c.data;
        ArchiveRegistry::Save(area);
        EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kConfig + "\\C\\FileSource"),
                  Area("[Archive\\Config\\C\\FileSource]\n\"f\"=" + std::string(c.written) + "\n"))
            << c.data;
    }
}

TEST(ArchiveRegistryTest, AFailedKeyStillLoadsTheOtherAndApplyKeepsIt) {
    // No Path key: the configurations are read all the same, and "&Apply" writes them back.
    const std::string config =
        Area("[Archive\\Config\\All\\RegistrySource]\n\"HKEY_CURRENT_USER\\\\Software\"=\"\"\n");
    {
        TempRegistry reg(Area("[Archive]\n\"History\"=dword:00000001\n") + config);
        ArchiveArea area;
        EXPECT_FALSE(ArchiveRegistry::Load(area));
        EXPECT_FALSE(area.pathAreaRead);
        ASSERT_EQ(area.configurations.size(), 1u);
        EXPECT_EQ(area.configurations[0]->registrySources,
                  (Strings{"HKEY_CURRENT_USER\\Software"}));
        ArchiveRegistry::Save(area);
        EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kPath));
        EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kConfig + "\\All\\RegistrySource"), config);
        EXPECT_TRUE(reg.Value(HKEY_LOCAL_MACHINE, kArchive, "History").has_value());
    }
    // No Config key: the paths are read all the same.
    {
        TempRegistry reg(Area("[Archive\\Path\\Disk]\n\"d:\\\\\"=\"\"\n"));
        ArchiveArea area;
        EXPECT_FALSE(ArchiveRegistry::Load(area));
        ASSERT_EQ(area.pathDefinitions.size(), 1u);
        EXPECT_EQ(area.pathDefinitions[0]->paths, (Strings{"d:\\"}));
    }
    // Removing every path name leaves no Path key, so the next load fails.
    {
        TempRegistry reg(Area("[Archive\\Config]\n[Archive\\Path\\Disk]\n\"d:\\\\\"=\"\"\n"));
        ArchiveArea area;
        ASSERT_TRUE(ArchiveRegistry::Load(area));
        area.RemovePathDefinition(area.pathDefinitions[0].get());
        ArchiveRegistry::Save(area);
        EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kPath));
        EXPECT_FALSE(ArchiveRegistry::Load(area));
    }
}

TEST(ArchiveRegistryTest, RemovedConfigurationsAreDeletedOnSaveAndNoOthers) {
    TempRegistry reg(
        Area("[Archive\\Config\\A]\n\"Keep\"=\"a\"\n[Archive\\Config\\A\\FileSource]\n\"f\"=\"\"\n"
             "[Archive\\Config\\B\\RegistrySource]\n\"r\"=\"\"\n"
             "[Archive\\Config\\C]\n\"Keep\"=\"c\"\n[Archive\\Config\\C\\FileSource]\n\"f\"=\"\"\n"
             "[Archive\\Path\\P]\n\"p\"=\"\"\n"));
    ArchiveArea area;
    ASSERT_TRUE(ArchiveRegistry::Load(area));
    // B goes; C goes and comes back new, taking over its key; D is new and goes again.
    area.RemoveConfiguration(FindConfiguration(area.configurations, "B"));
    area.RemoveConfiguration(FindConfiguration(area.configurations, "C"));
    area.AddConfiguration("c");
    area.RemoveConfiguration(&area.AddConfiguration("D"));
    ArchiveRegistry::Save(area);

    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kConfig + "\\A\\FileSource"));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kConfig + "\\B"));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kConfig + "\\D"));
    // The new C has no sources; what the key held besides them stays.
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kConfig + "\\C"),
              Area("[Archive\\Config\\C]\n\"Keep\"=\"c\"\n[Archive\\Config\\C\\FileSource]\n"
                   "[Archive\\Config\\C\\RegistrySource]\n"));
    ASSERT_TRUE(ArchiveRegistry::Load(area));
    EXPECT_EQ(area.configurations.size(), 2u);
    // Removing the new C after all deletes its key too.
    area.RemoveConfiguration(FindConfiguration(area.configurations, "C"));
    ArchiveRegistry::Save(area);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kConfig + "\\C"));
}

}  // namespace

// The system types, the watched paths and their registry layout, against a temporary registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/upgrade/system_type_definition.h"
#include "pages/upgrade/upgrade_registry.h"
#include "tests/support/registry_fixture.h"

namespace {

using testsupport::TempRegistry;
using upgrade::SystemTypeList;
using upgrade::UpgradeRegistry;
using upgrade::WatchedPathList;

const std::string kVersion = upgrade::kVersionKeyPath;
const std::string kUpgrade = upgrade::kUpgradeKeyPath;
const std::string kV = "[HKEY_LOCAL_MACHINE\\" + kVersion;
const std::string kW = "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "\\WatchedDestinationPaths";

const std::string kLongName(120, 'n');
const std::string kLongData(150, 'd');

// Besides plain versions: a DWORD, binary data, a text without its zero, a name and data longer
// than the load's buffers, a subkey below a system type and one below the watched paths.
const std::string kVersionArea =
    kV + "]\n\"InstallationDir\"=\"C:\\\\VLX\"\n" +                         //
    kV + "\\VLX 4.1]\n\"Blob\"=hex:01,02,03\n\"Build\"=dword:0000002a\n" +  //
    "\"Kestrin.ocx\"=\"1.9.2.0\"\n\"" + kLongName + "\"=\"" + kLongData + "\"\n" +
    "\"NoZero\"=hex(1):31,2e,30\n" +                    //
    kV + "\\VLX 4.1\\Patches]\n\"P1\"=\"applied\"\n" +  //
    kV + "\\VLX 5.2]\n\"Quorin3.exe\"=\"3.0.0.11\"\n";
const std::string kUpgradeArea =
    "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "]\n" + kW +
    "]\n\"Count\"=dword:00000003\n\"Programs\"=\"vlx:\\\\r1\\\\program\"\n" + kW +
    "\\Extra]\n\"Note\"=\"kept\"\n";

std::vector<std::string> Files(const upgrade::SystemTypeDefinition& systemType) {
    std::vector<std::string> out;
    for (const auto& file : systemType.filesAndVersions) {
        out.push_back(file.file + "=" + file.version);
    }
    return out;
}

TEST(UpgradeRegistryTest, RoundTripIsByteForByteAndEditsReplaceOnlyWhatTheyTouch) {
    TempRegistry reg(kVersionArea + kUpgradeArea);
    ASSERT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kVersion), kVersionArea);
    ASSERT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kUpgrade), kUpgradeArea);
    upgrade::UpgradeArea area;
    SystemTypeList& systemTypes = area.systemTypes;
    WatchedPathList& watched = area.watchedPaths;
    ASSERT_TRUE(UpgradeRegistry::Load(area));
    ASSERT_EQ(systemTypes.size(), 2u);
    EXPECT_EQ(systemTypes[0]->name, "VLX 4.1");
    // Data is taken as text up to its first zero, whatever its type; names and data are whole.
    EXPECT_EQ(Files(*systemTypes[0]),
              (std::vector<std::string>{"Blob=\x01\x02\x03", "Build=*", "Kestrin.ocx=1.9.2.0",
                                        kLongName + "=" + kLongData, "NoZero=1.0"}));
    ASSERT_EQ(watched.size(), 2u);
    EXPECT_EQ(watched[1].name, "Programs");
    EXPECT_EQ(watched[1].path, "vlx:\\r1\\program");

    UpgradeRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kVersion), kVersionArea);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kUpgrade), kUpgradeArea);

    // A name in another case keeps its place and stored spelling; an edited DWORD becomes text.
    upgrade::SystemTypeDefinition& vlx41 = *systemTypes[0];
    EXPECT_EQ(vlx41.AddOrUpdateFile("KESTRIN.OCX", "2.0"), 2u);
    EXPECT_EQ(vlx41.AddOrUpdateFile("build", "7 "), 1u);
    EXPECT_EQ(vlx41.AddOrUpdateFile("New.dll", "1"), 5u);
    EXPECT_FALSE(vlx41.RemoveFile("blob", "other"));
    EXPECT_TRUE(vlx41.RemoveFile("BLOB", "\x01\x02\x03"));
    watched.erase(watched.begin());
    watched.push_back({"Help", "c:\\help", std::nullopt});
    UpgradeRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kVersion + "\\VLX 4.1"),
              kV + "\\VLX 4.1]\n\"Build\"=\"7 \"\n\"Kestrin.ocx\"=\"2.0\"\n\"New.dll\"=\"1\"\n\"" +
                  kLongName + "\"=\"" + kLongData + "\"\n\"NoZero\"=hex(1):31,2e,30\n" + kV +
                  "\\VLX 4.1\\Patches]\n\"P1\"=\"applied\"\n");
    // The watched paths key has a subkey, so it is emptied value by value: the removed row goes,
    // the subkey stays.
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kUpgrade),
              "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "]\n" + kW +
                  "]\n\"Help\"=\"c:\\\\help\"\n\"Programs\"=\"vlx:\\\\r1\\\\program\"\n" + kW +
                  "\\Extra]\n\"Note\"=\"kept\"\n");
}

TEST(UpgradeRegistryTest, WithoutAVersionKeyTheLoadFailsButTheWatchedPathsAreKept) {
    TempRegistry reg(kUpgradeArea);
    upgrade::UpgradeArea area;
    SystemTypeList& systemTypes = area.systemTypes;
    WatchedPathList& watched = area.watchedPaths;
    EXPECT_FALSE(UpgradeRegistry::Load(area));
    EXPECT_TRUE(systemTypes.empty());
    ASSERT_EQ(watched.size(), 2u);
    UpgradeRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kUpgrade), kUpgradeArea);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kVersion));
}

TEST(UpgradeRegistryTest, WithoutTheUpgradeKeyApplyCreatesIt) {
    TempRegistry fresh(kV + "]\n");
    upgrade::UpgradeArea area;
    WatchedPathList& watched = area.watchedPaths;
    ASSERT_TRUE(UpgradeRegistry::Load(area));
    EXPECT_TRUE(watched.empty());
    watched.push_back({"System", "vlx:\\r1\\system", std::nullopt});
    UpgradeRegistry::Save(area);
    EXPECT_EQ(fresh.Export(HKEY_LOCAL_MACHINE, kUpgrade),
              "[HKEY_LOCAL_MACHINE\\" + kUpgrade + "]\n" + kW +
                  "]\n\"System\"=\"vlx:\\\\r1\\\\system\"\n");
    EXPECT_EQ(fresh.Export(HKEY_LOCAL_MACHINE, kVersion), kV + "]\n");
}

}  // namespace

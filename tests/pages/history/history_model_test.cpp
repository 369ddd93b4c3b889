// The history settings, their dependency rules and their registry layout, against a temporary
// registry (also under Wine).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pages/history/history_registry.h"
#include "pages/history/history_settings.h"
#include "registry/reg_text.h"
#include "tests/support/reg_model.h"
#include "tests/support/registry_fixture.h"

namespace {

using history::CriterionDefinition;
using history::HistoryRegistry;
using history::HistorySettings;
using testsupport::TempRegistry;

const std::string kArchive = history::kArchiveKeyPath;
const std::string kHeader = "[HKEY_LOCAL_MACHINE\\" + kArchive;

// A name and a path longer than the 100-byte buffers a load reads them into.
const std::string kLongCriterion = "compare" + std::string(113, 'N');
const std::string kLongPath = "D:\\" + std::string(150, 'p');

// The Archive key as a controller keeps it, with what belongs to others beside the history
// values: a value the page does not know and the archive configurations' subkeys.
const std::string kArea = kHeader + "]\n" +
                          "\"CompareDate\"=dword:00000001\n"
                          "\"CompareSize\"=dword:00000000\n"
                          "\"" +
                          kLongCriterion +
                          "\"=dword:00000001\n"
                          "\"CheckBack\"=dword:00000001\n"
                          "\"DeleteR1\"=dword:00000000\n"
                          "\"EnableDiskCounting\"=dword:00000001\n"
                          "\"Foreign\"=\"kept\"\n"
                          "\"History\"=dword:00000001\n"
                          "\"HistoryPath\"=" +
                          registry::QuoteRegString(kLongPath) + "\n" +
                          "\"HistoryWhenRestore\"=dword:00000000\n"
                          "\"IniOnOffSwitch\"=dword:00000001\n"
                          "\"MaxHistoryCount\"=dword:0000000a\n" +
                          kHeader + "\\Config]\n" + kHeader +
                          "\\Config\\All]\n\"Type\"=dword:00000002\n" + kHeader +
                          "\\Path]\n\"Default\"=\"D:\\\\Archive\"\n";

std::string Export(const TempRegistry& reg) {
    return reg.Export(HKEY_LOCAL_MACHINE, kArchive);
}

// The criteria as the store enumerates the Archive key's "Compare..." values.
std::vector<std::string> CriteriaInEnumerationOrder() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kArchive.c_str(), 0, KEY_READ, &key) != 0) {
        return names;
    }
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != 0) {
            break;
        }
        if (history::IsCriterionName(name)) {
            names.emplace_back(name, size);
        }
    }
    RegCloseKey(key);
    return names;
}

// One line of the settings for comparing: criteria with their marks, switches in the order
// feedback, info file, disk counting, delete, save before restore, history; count; path.
std::string Describe(const HistorySettings& s) {
    std::string out;
    for (const CriterionDefinition& c : s.criteria) {
        out += c.name + (c.checked ? ":1 " : ":0 ");
    }
    for (bool flag : {s.enableFeedback, s.generateInfoFile, s.enableDiskCounting,
                      s.deleteRobotDirectory, s.saveHistoryBeforeRestore, s.history}) {
        out += flag ? '1' : '0';
    }
    return out + " #" + s.maxHistoryCount + " @" + s.historyPath;
}

// The stored value as its .reg line, or "(none)".
std::string StoredLine(const TempRegistry& reg, const std::string& name) {
    const auto value = reg.Value(HKEY_LOCAL_MACHINE, kArchive, name);
    if (!value) {
        return "(none)";
    }
    return registry::FormatRegValue(registry::RegValue{name, value->first, value->second}, false,
                                    false);
}

TEST(HistoryRegistryTest, LoadsEverySettingWholeAndSavesThemBackWithoutTouchingTheRest) {
    TempRegistry reg(kArea);
    const std::string before = Export(reg);
    ASSERT_NE(before.find("\\Config\\All]"), std::string::npos);

    HistorySettings settings;
    ASSERT_TRUE(HistoryRegistry::Load(settings));
    std::vector<std::string> names;
    for (const CriterionDefinition& c : settings.criteria) {
        names.push_back(c.name);
        EXPECT_EQ(c.checked, c.name != "CompareSize") << c.name;
    }
    EXPECT_EQ(names, CriteriaInEnumerationOrder());
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(settings.historyPath, kLongPath);
    EXPECT_EQ(settings.maxHistoryCount, "10");
    EXPECT_TRUE(settings.enableFeedback && settings.generateInfoFile && settings.history &&
                settings.enableDiskCounting);
    EXPECT_FALSE(settings.deleteRobotDirectory || settings.saveHistoryBeforeRestore);
    EXPECT_FALSE(settings.keptPath.has_value());

    ASSERT_TRUE(HistoryRegistry::Save(settings));
    EXPECT_EQ(Export(reg), before);

    // Changed settings reach their values under the names they were loaded with.
    settings.criteria[0].checked = !settings.criteria[0].checked;
    settings.enableFeedback = false;  // every criterion is then written as 0
    settings.deleteRobotDirectory = true;
    settings.maxHistoryCount = "7";
    settings.historyPath = "E:\\Traces";
    ASSERT_TRUE(HistoryRegistry::Save(settings));
    for (const std::string& name : names) {
        EXPECT_EQ(StoredLine(reg, name), "\"" + name + "\"=dword:00000000");
    }
    EXPECT_EQ(StoredLine(reg, "CheckBack"), "\"CheckBack\"=dword:00000000");
    EXPECT_EQ(StoredLine(reg, "DeleteR1"), "\"DeleteR1\"=dword:00000001");
    EXPECT_EQ(StoredLine(reg, "MaxHistoryCount"), "\"MaxHistoryCount\"=dword:00000007");
    EXPECT_EQ(StoredLine(reg, "HistoryPath"), "\"HistoryPath\"=\"E:\\\\Traces\"");
    EXPECT_EQ(StoredLine(reg, "Foreign"), "\"Foreign\"=\"kept\"");
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kArchive + "\\Config"),
              kHeader + "\\Config]\n" + kHeader + "\\Config\\All]\n\"Type\"=dword:00000002\n");
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kArchive + "\\Path"),
              kHeader + "\\Path]\n\"Default\"=\"D:\\\\Archive\"\n");
}

TEST(HistoryRegistryTest, EveryValueFormLoadsAsDefinedAndIsWrittenBackAsLaidOut) {
    // Feedback on, so a checked criterion is written as 1.
    const std::string base = "\"CheckBack\"=dword:00000001\n";
    const struct {
        const char* line;   // the one value besides CheckBack
        const char* shown;  // Describe() after the load
        const char* name;   // the value looked at after the save
        const char* saved;  // its .reg line then
    } cases[] = {
        // Criteria: the name's first seven letters in any case; any number but 0 checks.
        {"\"compareX\"=dword:00000002", "compareX:1 100000 # @", "compareX",
         "\"compareX\"=dword:00000001"},
        {"\"COMPARE\"=dword:00000001", "COMPARE:1 100000 # @", "COMPARE",
         "\"COMPARE\"=dword:00000001"},
        {"\"CompareA\"=\"1\"", "CompareA:0 100000 # @", "CompareA", "\"CompareA\"=dword:00000000"},
        {"\"CompareB\"=hex(4):01", "CompareB:0 100000 # @", "CompareB",
         "\"CompareB\"=dword:00000000"},
        {"\"Compar\"=dword:00000001", "100000 # @", "Compar", "\"Compar\"=dword:00000001"},
        {"\"XCompare\"=dword:00000001", "100000 # @", "XCompare", "\"XCompare\"=dword:00000001"},
        // Switches by their whole name in any case; another type counts as 0.
        {"\"iniONoffSWITCH\"=dword:00000001", "110000 # @", "IniOnOffSwitch",
         "\"IniOnOffSwitch\"=dword:00000001"},
        {"\"DeleteR1\"=\"1\"", "100000 # @", "DeleteR1", "\"DeleteR1\"=dword:00000000"},
        {"\"HistoryExtra\"=dword:00000001", "100000 # @", "HistoryExtra",
         "\"HistoryExtra\"=dword:00000001"},
        // The count in decimal, the whole 32-bit range; another type counts as 0.
        {"\"MaxHistoryCount\"=dword:ffffffff", "100000 #4294967295 @", "MaxHistoryCount",
         "\"MaxHistoryCount\"=dword:ffffffff"},
        {"\"MaxHistoryCount\"=\"12\"", "100000 #0 @", "MaxHistoryCount",
         "\"MaxHistoryCount\"=dword:00000000"},
        // A path that is no plain string is shown as far as it reads and kept as stored.
        {"\"HistoryPath\"=dword:00000001", "100000 # @", "HistoryPath",
         "\"HistoryPath\"=dword:00000001"},
        {"\"HistoryPath\"=hex(1):44,3a", "100000 # @", "HistoryPath",
         "\"HistoryPath\"=hex(1):44,3a"},
        {"\"HistoryPath\"=hex(2):44,3a,00", "100000 # @D:", "HistoryPath",
         "\"HistoryPath\"=hex(2):44,3a,00"},
        {"\"HistoryPath\"=hex(1):44,3a,00,45,00", "100000 # @D:", "HistoryPath",
         "\"HistoryPath\"=hex(1):44,3a,00,45,00"},
        {"\"HistoryPath\"=\"\"", "100000 # @", "HistoryPath", "\"HistoryPath\"=\"\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TempRegistry reg(kHeader + "]\n" + base + c.line + "\n");
        HistorySettings settings;
        ASSERT_TRUE(HistoryRegistry::Load(settings));
        EXPECT_EQ(Describe(settings), c.shown);
        ASSERT_TRUE(HistoryRegistry::Save(settings));
        EXPECT_EQ(StoredLine(reg, c.name), c.saved);
    }

    // A kept path gives way to one the user chose.
    TempRegistry reg(kHeader + "]\n\"HistoryPath\"=dword:00000001\n");
    HistorySettings settings;
    ASSERT_TRUE(HistoryRegistry::Load(settings));
    settings.historyPath = "E:\\New";
    ASSERT_TRUE(HistoryRegistry::Save(settings));
    EXPECT_EQ(StoredLine(reg, "HistoryPath"), "\"HistoryPath\"=\"E:\\\\New\"");
}

TEST(HistoryRegistryTest, AbsentValuesKeepTheSettingsAndAMissingKeyChangesNothingButCriteria) {
    HistorySettings held;
    held.criteria = {{"CompareOld", true}};
    held.historyPath = "C:\\Held";
    held.maxHistoryCount = "5";
    held.enableFeedback = held.history = held.deleteRobotDirectory = true;
    {
        TempRegistry reg(kHeader + "]\n\"CompareNew\"=dword:00000000\n");
        HistorySettings settings = held;
        ASSERT_TRUE(HistoryRegistry::Load(settings));
        EXPECT_EQ(Describe(settings), "CompareNew:0 100101 #5 @C:\\Held");
        // Saving writes every setting, also those the key lacked.
        ASSERT_TRUE(HistoryRegistry::Save(settings));
        EXPECT_EQ(Export(reg), kHeader +
                                   "]\n\"CheckBack\"=dword:00000001\n"
                                   "\"CompareNew\"=dword:00000000\n"
                                   "\"DeleteR1\"=dword:00000001\n"
                                   "\"EnableDiskCounting\"=dword:00000000\n"
                                   "\"History\"=dword:00000001\n"
                                   "\"HistoryPath\"=\"C:\\\\Held\"\n"
                                   "\"HistoryWhenRestore\"=dword:00000000\n"
                                   "\"IniOnOffSwitch\"=dword:00000000\n"
                                   "\"MaxHistoryCount\"=dword:00000005\n");
    }
    {
        TempRegistry reg("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Quorin3\\Manager]\n");
        HistorySettings settings = held;
        EXPECT_FALSE(HistoryRegistry::Load(settings));
        EXPECT_EQ(Describe(settings), "100101 #5 @C:\\Held");
        // The save never creates the key.
        EXPECT_FALSE(HistoryRegistry::Save(settings));
        EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kArchive));
    }
}

TEST(HistorySettingsTest, DependenciesForceAndClearInBothDirections) {
    // Flags in the order of Describe(): feedback, info file, disk counting, delete, save before
    // restore, history. Availability: save before restore, history, disk counting + criteria.
    const struct {
        const char* in;
        const char* out;
        const char* available;
        bool criterionKept;
    } cases[] = {
        {"000100", "000111", "000", false},  // delete forces both, criteria cleared
        {"111100", "111111", "001", true},
        {"000011", "000011", "100", false},  // delete cleared: save available, still forcing
        {"000001", "000001", "110", false},  // nothing forces history any more
        {"000010", "000011", "100", false},
        {"111000", "111000", "111", true},   // both conditions: disk counting and criteria stay
        {"101000", "100000", "110", false},  // no info file
        {"011000", "010000", "110", false},  // no feedback
        {"000000", "000000", "110", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        HistorySettings s;
        s.criteria = {{"CompareDate", true}, {"CompareSize", true}};
        bool* flags[] = {&s.enableFeedback,           &s.generateInfoFile,
                         &s.enableDiskCounting,       &s.deleteRobotDirectory,
                         &s.saveHistoryBeforeRestore, &s.history};
        for (int i = 0; i < 6; ++i) {
            *flags[i] = c.in[i] == '1';
        }
        const history::SwitchAvailability available = history::ApplyDependencies(s);
        const std::string expectedCriteria =
            c.criterionKept ? "CompareDate:1 CompareSize:1 " : "CompareDate:0 CompareSize:0 ";
        EXPECT_EQ(Describe(s), expectedCriteria + c.out + " # @");
        std::string availability;
        for (bool on : {available.saveHistoryBeforeRestore, available.history,
                        available.diskCountingAndCriteria}) {
            availability += on ? '1' : '0';
        }
        EXPECT_EQ(availability, c.available);
    }

    // A history needs a path; blanks are no path.
    const struct {
        bool history, saveBeforeRestore;
        const char* path;
        bool missing;
    } paths[] = {
        {true, false, "", true},
        {false, true, " \t ", true},
        {true, true, " D:\\H ", false},
        {false, false, "", false},
    };
    for (const auto& p : paths) {
        HistorySettings s;
        s.history = p.history;
        s.saveHistoryBeforeRestore = p.saveBeforeRestore;
        s.historyPath = p.path;
        EXPECT_EQ(history::HistoryPathMissing(s), p.missing) << '"' << p.path << '"';
    }
    HistorySettings s;
    s.historyPath = "  D:\\My History \t";
    EXPECT_EQ(history::TrimmedHistoryPath(s), "D:\\My History");
}

}  // namespace

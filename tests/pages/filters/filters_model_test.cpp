// The filter records and the layout of the Filter and FilterList areas, against a temporary
// registry (the .reg file store, or the system registry on Windows).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pages/filters/filter_definition.h"
#include "pages/filters/filter_registry.h"
#include "tests/pages/filters/filters_area.h"
#include "tests/support/registry_fixture.h"

namespace {

using namespace filterstest;
using filters::FilterRegistry;
using testsupport::TempRegistry;

struct Loaded {
    filters::FiltersArea area;
    filters::FilterRecords& filters = area.filters;
    filters::FilterListRecords& levels = area.levels;
    common::AreaResult result;

    explicit Loaded() { result = FilterRegistry::Load(area); }
    common::AreaResult Save() const { return FilterRegistry::Save(area); }
    const filters::FilterDefinition& Filter(const std::string& name) const {
        const filters::FilterDefinition* filter = filters::FindFilter(filters, name);
        EXPECT_NE(filter, nullptr) << name;
        return *filter;
    }
    filters::FilterListDefinition& Level(const std::string& name) const {
        filters::FilterListDefinition* level = filters::FindFilterList(levels, name);
        EXPECT_NE(level, nullptr) << name;
        return *level;
    }
};

std::string ExportBoth(const TempRegistry& reg) {
    return reg.Export(HKEY_LOCAL_MACHINE, kFilter) + reg.Export(HKEY_LOCAL_MACHINE, kFilterList);
}

// Values enumerate in the store's own order (Wine's differs), so entries compare sorted.
std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// What the layout does not own or cannot take, in the export's order: values in both area
// keys, an extra value and a subkey in a filter key, layout values of the wrong type or size,
// a level subkey, a default that is no text, an entry whose data is not 1 and names longer than
// the buffers the layout reads into.
const std::string kLongFilter(120, 'x');
const std::string kLongEntry(60, 'e');
const std::string kLongDefault(70, 'd');
const std::string kForeign = Area(
    "[F]\n\"Version\"=dword:00000002\n"
    "[F\\All]\n\"Comment\"=\"Every file\"\n\"Mask\"=\"*.*\"\n\"Owner\"=\"service\"\n"
    "\"ShowAttrib\"=dword:00000000\n\"ShowModuleExplod\"=dword:00000000\n\"Type\"=dword:000000ff\n"
    "[F\\All\\Extra]\n\"X\"=dword:00000001\n"
    "[F\\Odd]\n\"Comment\"=hex(2):78,00\n\"Mask\"=dword:00000005\n"
    "\"ShowAttrib\"=hex:02,00,00,00\n\"ShowModuleExplod\"=\"1\"\n"
    "\"Type\"=hex:01,02,03,04,05,06,07,08\n" +
    FilterKey(kLongFilter, "*", "", "00000000", "00000000", "00000000") +
    "[L]\n\"Owner\"=\"installer\"\n"
    "[L\\Expert]\n@=\"" +
    kLongDefault + "\"\n\"All\"=dword:00000001\n\"" + kLongEntry +
    "\"=dword:00000001\n"
    "[L\\Expert\\Sub]\n\"Y\"=\"z\"\n"
    "[L\\User]\n@=dword:00000007\n\"Gone\"=dword:00000000\n\"Odd\"=dword:00000001\n");

TEST(FilterRegistryTest, BothAreasSurviveLoadAndSaveByteForByte) {
    for (const std::string& seed : {kSeed, kForeign}) {
        TempRegistry reg(seed);
        ASSERT_EQ(ExportBoth(reg), seed);
        Loaded loaded;
        ASSERT_TRUE(loaded.result.Ok());
        EXPECT_TRUE(loaded.Save().Ok());
        EXPECT_EQ(ExportBoth(reg), seed);
    }
}

TEST(FilterRegistryTest, LoadReadsTheLayoutWholeAndShowsWhatItCannotTakeAsEmpty) {
    TempRegistry reg(kForeign);
    Loaded loaded;
    const filters::FilterDefinition& odd = loaded.Filter("odd");
    EXPECT_EQ(odd.mask, "");  // a number is no text
    EXPECT_EQ(odd.comment, "x");
    EXPECT_EQ(odd.showAttrib, 2u);
    EXPECT_EQ(odd.showModuleExplode, 0x31u);  // the bytes '1', 0 read as a number
    EXPECT_EQ(odd.type, 0u);                  // eight bytes are no number
    EXPECT_EQ(loaded.Filter(kLongFilter).name, kLongFilter);
    EXPECT_EQ(loaded.Level("Expert").defaultFilter, kLongDefault);
    EXPECT_EQ(Sorted(loaded.Level("Expert").filters),
              (std::vector<std::string>{"All", kLongEntry}));
    EXPECT_EQ(loaded.Level("User").defaultFilter, "");
    // An entry counts whatever its data, and whether or not a filter has its name.
    EXPECT_EQ(Sorted(loaded.Level("User").filters), (std::vector<std::string>{"Gone", "Odd"}));

    // What the page sets is written in the layout's form; what it leaves goes back as it was.
    filters::FilterDefinition& edited = *filters::FindFilter(loaded.filters, "Odd");
    edited.SetMask("*.x");
    edited.SetType(4);
    loaded.Level("User").SetDefault("Odd");
    loaded.Save();
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kFilter + "\\Odd"),
              Area("[F\\Odd]\n\"Comment\"=hex(2):78,00\n\"Mask\"=\"*.x\"\n"
                   "\"ShowAttrib\"=hex:02,00,00,00\n\"ShowModuleExplod\"=\"1\"\n"
                   "\"Type\"=dword:00000004\n"));
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kFilterList + "\\User"),
              Area("[L\\User]\n@=\"Odd\"\n\"Gone\"=dword:00000000\n\"Odd\"=dword:00000001\n"));
}

TEST(FilterRegistryTest, MissingValuesLoadAsZeroAndAnEmptyDefault) {
    TempRegistry reg(
        Area("[F\\OnlyMask]\n\"Mask\"=\"*.a\"\n"
             "[L\\Admin]\n\"F1\"=dword:00000001\n"
             "[L\\Demo]\n@=\"F2\"\n\"F1\"=dword:00000001\n\"F2\"=dword:00000001\n"
             "[L\\User]\n@=\"X\"\n"));
    Loaded loaded;
    ASSERT_TRUE(loaded.result.Ok());
    const filters::FilterDefinition& onlyMask = loaded.Filter("OnlyMask");
    EXPECT_EQ(onlyMask.comment, "");
    EXPECT_EQ(onlyMask.showAttrib, 0u);
    EXPECT_EQ(onlyMask.showModuleExplode, 0u);
    EXPECT_EQ(onlyMask.type, 0u);
    EXPECT_EQ(loaded.Level("Admin").defaultFilter, "");
    EXPECT_EQ(loaded.Level("Demo").defaultFilter, "F2");
    EXPECT_EQ(Sorted(loaded.Level("Demo").filters), (std::vector<std::string>{"F1", "F2"}));
    EXPECT_TRUE(loaded.Level("User").filters.empty());
    EXPECT_EQ(loaded.Level("User").defaultFilter, "X");

    loaded.Save();
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kFilter + "\\OnlyMask"),
              Area(FilterKey("OnlyMask", "*.a", "", "00000000", "00000000", "00000000")));
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kFilterList + "\\Admin"),
              Area("[L\\Admin]\n@=\"\"\n\"F1\"=dword:00000001\n"));
}

TEST(FilterRegistryTest, SavingNoRecordsLeavesNeitherKeyAndTheNextLoadFails) {
    TempRegistry reg(kSeed);
    EXPECT_TRUE(FilterRegistry::Save(filters::FiltersArea{}).Ok());
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kFilter));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kFilterList));
    const Loaded loaded;
    EXPECT_TRUE(loaded.result.HasFailed(filters::kFilterKeyPath));
    EXPECT_TRUE(loaded.result.HasFailed(filters::kFilterListKeyPath));
}

TEST(FilterDefinitionTest, NewNamesAreNeitherBlankNorAnExistingNameTypedOrTrimmed) {
    filters::FilterRecords records;
    records.push_back(filters::MakeNewFilter("All"));
    records.push_back(filters::MakeNewFilter("Spaced "));
    const struct {
        const char* name;
        bool isNew;
    } names[] = {{"all", false},   {"ALL", false},  {"   ", false},
                 {"", false},      {" All", false}, {"spaced ", false},
                 {"Spaced", true}, {" New", true},  {"All files", true}};
    for (const auto& n : names) {
        EXPECT_EQ(filters::IsNewFilterName(records, n.name), n.isNew) << '"' << n.name << '"';
    }
    EXPECT_EQ(filters::MakeNewFilter("x")->mask, "*");
}

}  // namespace

// The Filters page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pages/filters/filters_page_fixture.h"

namespace {

using namespace filterstest;

const std::string kRemoveQuestion =
    "The filter you want to delete is defined for some levels!                  \n"
    "\tBy continue you may lose some data!\n\t\tContinue?";

TEST_F(FiltersPageTest, ShowsBothAreasWithTheTemplatesCaptionsAndAppliesThemUnchanged) {
    Open(kSeed);
    ASSERT_TRUE(loaded_);
    const struct {
        int id;
        const char* caption;
    } captions[] = {
        {kLevelsGroup, "Filter levels "},
        {kSupportedLevelsLabel, "Supported filter levels"},
        {kDefinedLevelsLabel, "Defined filter levels"},
        {kAddLevel, "Add to defined"},
        {kRemoveLevel, "Remove from defined"},
        {kAvailableGroup, "Available filters "},
        {kAllFiltersLabel, "All available filters"},
        {kRemoveFilter, "Remove from all available"},
        {kLevelFiltersLabel, "Filters for level: Admin"},
        {kMakeAvailable, "Make available to level"},
        {kDisableForLevel, "Disable for level"},
        {kNewFilterGroup, "Define new filter"},
        {kNewNameLabel, "Name"},
        {kAddFilter, "Add to all available filters"},
        {kPropertiesGroup, "Properties for filter: All"},
        {kMaskLabel, "Mask"},
        {kCommentLabel, "Comment"},
        {kFastDeleteLabel, "Fast Delete Template"},
        {kShowExplode, "Show explode"},
        {kAttributesGroup, "Attributes "},
        {kSystem, "System"},
        {kHidden, "Hidden"},
        {kTypeLabel, "Type"},
        {kApply, "&Apply"},
        {kRestore, "&Restore from Registry"},
        {kExit, "E&xit"},
    };
    for (const auto& c : captions) {
        EXPECT_EQ(Text(c.id), c.caption) << c.id;
    }
    EXPECT_EQ(RowsOf(kSupportedLevels), (Rows{"Admin", "DEFAULT", "Demo", "Expert", "User"}));
    EXPECT_EQ(Selected(kSupportedLevels), "Admin");
    EXPECT_EQ(RowsOf(kTypes), (Rows{"Dir", "Virtual", "Archiv", "Bin", "Text", "Modul", "Raw",
                                    "Ibgn file", "Protected files"}));
    EXPECT_EQ(RowsOf(kFastDeleteTemplate), (Rows{"No template", "Cell", "Expert", "Expert submit",
                                                 "Function", "Modul", "Submit"}));
    EXPECT_EQ(RowsOf(kAllFilters), (Rows{"All", "Modules", "Programs", "Service"}));
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"Admin", "DEFAULT", "Expert"}));
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"All", "Modules", "Programs", "Service"}));
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{false, false, true, false}));
    EXPECT_EQ(Selected(kLevelFilters), "All");
    EXPECT_EQ(Text(kMask), "*.*");
    EXPECT_EQ(Text(kComment), "Every file and folder");

    // Another filter: its properties, and the template choice back on its first entry.
    uikit::ChooseComboText(Page(), kFastDeleteTemplate, "Expert submit");
    SelectFilter("Service");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for filter: Service");
    EXPECT_EQ(Text(kMask), "*.*");
    EXPECT_EQ(Selected(kFastDeleteTemplate), "No template");
    EXPECT_TRUE(Checked(kShowExplode));
    EXPECT_TRUE(Checked(kSystem));
    EXPECT_TRUE(Checked(kHidden));
    EXPECT_EQ(ChecksOf(kTypes), Marks(9, true));
    SelectLevel("DEFAULT");
    EXPECT_EQ(Text(kLevelFiltersLabel), "Filters for level: DEFAULT");
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"Modules", "Programs"}));
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{true, false}));

    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(ExportBoth(), kSeed);
}

TEST_F(FiltersPageTest, TypedNamesAddSelectOrAreRefused) {
    const std::string longName(60, 'n');
    const struct {
        std::string typed;
        Rows rows;  // of the all-filters list afterwards
        std::string selected;
        std::string message;  // the error box, if any
    } cases[] = {
        {"modules", {"All", "Modules", "Programs", "Service"}, "Modules", ""},
        {"   ", {"All", "Modules", "Programs", "Service"}, "All", ""},
        {" All", {"All", "Modules", "Programs", "Service"}, "All", ""},
        {" New", {"All", "Modules", "Programs", "Service", " New"}, " New", ""},
        {longName,
         {"All", "Modules", "Programs", "Service", longName.substr(0, 49)},
         longName.substr(0, 49),
         ""},
        {"Cell\\Robot",
         {"All", "Modules", "Programs", "Service"},
         "All",
         "A filter name cannot contain a backslash (\\).\nPlease choose another name."},
    };
    for (const auto& c : cases) {
        Open(kSeed);
        if (!c.message.empty()) {
            Ui().Answer(fw::MsgAnswer::Ok);
        }
        AddFilter(c.typed);
        EXPECT_EQ(RowsOf(kAllFilters), c.rows) << '"' << c.typed << '"';
        EXPECT_EQ(Selected(kAllFilters), c.selected) << '"' << c.typed << '"';
        EXPECT_EQ(Ui().MessageTexts(), c.message.empty() ? std::vector<std::string>{}
                                                         : std::vector<std::string>{c.message});
    }
    // The last one added keeps its leading blank and a new filter's values.
    Open(kSeed);
    AddFilter(" New");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for filter:  New");
    EXPECT_EQ(Text(kMask), "*");
    EXPECT_EQ(Text(kComment), "");
    EXPECT_EQ(ChecksOf(kTypes), Marks(9, false));
    Apply();
    EXPECT_EQ(Export(kFilter + "\\ New"),
              Area(FilterKey(" New", "*", "", "00000000", "00000000", "00000000")));
}

TEST_F(FiltersPageTest, RemovingAFilterAsksOnceAndMovesTheDefaults) {
    Open(kSeed);
    AddFilter("Spare");
    RemoveFilter("Spare");  // no level offers it: nothing is asked
    EXPECT_TRUE(Ui().Messages().empty());

    // Programs is offered by all three levels and the default of two of them.
    RemoveFilter("Programs", fw::MsgAnswer::Cancel);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, kRemoveQuestion);
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Exclamation);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::OkCancel);
    EXPECT_EQ(RowsOf(kAllFilters), (Rows{"All", "Modules", "Programs", "Service"}));
    EXPECT_EQ(Level("Expert").filters, (Rows{"Modules", "Programs"}));
    EXPECT_EQ(Level("Admin").defaultFilter, "Programs");

    Ui().ClearMessages();
    RemoveFilter("Programs");
    EXPECT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(RowsOf(kAllFilters), (Rows{"All", "Modules", "Service"}));
    EXPECT_EQ(Selected(kAllFilters), "Service");
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for filter: Service");
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"All", "Modules", "Service"}));
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{true, false, false}));
    EXPECT_EQ(Level("Admin").defaultFilter, "All");
    EXPECT_EQ(Level("DEFAULT").defaultFilter, "Modules");
    EXPECT_EQ(Level("Expert").defaultFilter, "Modules");

    Apply();
    EXPECT_EQ(Export(kFilterList + "\\Expert"),
              Area("[L\\Expert]\n@=\"Modules\"\n\"Modules\"=dword:00000001\n"));
    EXPECT_EQ(Export(kFilter + "\\Programs"), "");

    // The last filters go: the properties no longer name one.
    for (const char* name : {"All", "Modules", "Service"}) {
        RemoveFilter(name);
    }
    EXPECT_TRUE(RowsOf(kAllFilters).empty());
    EXPECT_EQ(Text(kPropertiesGroup), "Properties for filter:");
    EXPECT_EQ(Text(kMask), "");
    // With no filter to take them, clicks on the properties leave no mark.
    uikit::Click(Page(), kHidden);
    uikit::ToggleCheck(Page(), kTypes, 2);
    EXPECT_FALSE(Checked(kHidden));
    EXPECT_EQ(ChecksOf(kTypes), Marks(9, false));
    // A level left without filters keeps its default's name.
    EXPECT_EQ(Level("DEFAULT").defaultFilter, "Modules");
}

TEST_F(FiltersPageTest, LevelsOfferFiltersWithExactlyOneDefault) {
    Open(kSeed);
    AddLevel("User");
    EXPECT_EQ(Selected(kSupportedLevels), "Admin");  // wrapped round
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"Admin", "DEFAULT", "Expert", "User"}));
    EXPECT_EQ(Selected(kDefinedLevels), "User");
    EXPECT_EQ(Text(kLevelFiltersLabel), "Filters for level: User");
    EXPECT_TRUE(RowsOf(kLevelFilters).empty());

    // The first filter made available is the default.
    SelectFilter("Service");
    uikit::Click(Page(), kMakeAvailable);
    uikit::Click(Page(), kMakeAvailable);  // offered already: only selected
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"Service"}));
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{true}));
    uikit::Click(Page(), kDisableForLevel);  // a level keeps one filter
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"Service"}));

    SelectFilter("All");
    uikit::Click(Page(), kMakeAvailable);
    SelectFilter("Modules");
    uikit::Click(Page(), kMakeAvailable);
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{true, false, false}));
    uikit::ToggleCheck(Page(), kLevelFilters, 1);
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{false, true, false}));
    uikit::ToggleCheck(Page(), kLevelFilters, 1);  // the checked box stays checked
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{false, true, false}));
    EXPECT_EQ(Level("User").defaultFilter, "All");
    EXPECT_EQ(Selected(kAllFilters), "All");  // the row shows its filter

    // Disabling the default makes the row selected next the default.
    uikit::Click(Page(), kDisableForLevel);
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"Service", "Modules"}));
    EXPECT_EQ(Selected(kLevelFilters), "Modules");
    EXPECT_EQ(ChecksOf(kLevelFilters), (Marks{false, true}));
    EXPECT_EQ(Selected(kAllFilters), "Modules");
    // Disabling another row leaves the default alone; the last row makes the one before it
    // selected.
    uikit::SelectRow(Page(), kLevelFilters, 0);
    uikit::Click(Page(), kDisableForLevel);
    EXPECT_EQ(Level("User").filters, (Rows{"Modules"}));
    EXPECT_EQ(Level("User").defaultFilter, "Modules");

    Apply();
    EXPECT_EQ(Export(kFilterList + "\\User"),
              Area("[L\\User]\n@=\"Modules\"\n\"Modules\"=dword:00000001\n"));
}

TEST_F(FiltersPageTest, DefaultLevelStaysAndRemovingTheLastLevelEmptiesItsFilters) {
    Open(kSeed);
    SelectLevel("DEFAULT");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"Admin", "DEFAULT", "Expert"}));
    AddLevel("Expert");  // defined already: only selected
    EXPECT_EQ(RowsOf(kDefinedLevels), (Rows{"Admin", "DEFAULT", "Expert"}));
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(Selected(kDefinedLevels), "DEFAULT");
    EXPECT_EQ(RowsOf(kLevelFilters), (Rows{"Modules", "Programs"}));

    Open(Area(
        "[L\\Admin]\n@=\"A\"\n\"A\"=dword:00000001\n[L\\User]\n@=\"A\"\n\"A\"=dword:00000001\n"));
    EXPECT_FALSE(loaded_);  // no Filter key
    SelectLevel("Admin");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_EQ(Selected(kDefinedLevels), "User");
    uikit::Click(Page(), kRemoveLevel);
    EXPECT_TRUE(RowsOf(kDefinedLevels).empty());
    EXPECT_TRUE(RowsOf(kLevelFilters).empty());
    EXPECT_EQ(Text(kLevelFiltersLabel), "Available filters at level");
    Apply();
    EXPECT_FALSE(harness_->KeyExists(kFilterList));
}

TEST_F(FiltersPageTest, PropertyEditsReachTheFilterShown) {
    // Attribute bits: Hidden is 2, System is 1; a cleared box keeps only the other bit.
    const struct {
        const char* stored;
        int box;
        std::uint32_t expected;
    } attributes[] = {
        {"00000007", kHidden, 1}, {"00000007", kSystem, 2}, {"00000000", kHidden, 2},
        {"00000001", kHidden, 3}, {"00000003", kSystem, 2}, {"00000004", kSystem, 5},
    };
    for (const auto& a : attributes) {
        Open(Area(FilterKey("F", "*", "", a.stored, "00000000", "00000000")));
        uikit::Click(Page(), a.box);
        EXPECT_EQ(Filter("F").showAttrib, a.expected) << a.stored << " " << a.box;
    }

    Open(kSeed);
    SelectFilter("Programs");
    uikit::TypeText(Page(), kMask, "*.src;*.dat");
    uikit::TypeText(Page(), kComment, std::string(120, 'c'));
    uikit::Click(Page(), kShowExplode);     // off
    uikit::ToggleCheck(Page(), kTypes, 0);  // Dir off
    uikit::ToggleCheck(Page(), kTypes, 8);  // Protected files on
    EXPECT_EQ(Text(kComment).size(), 99u);
    // Showing another filter changes neither.
    SelectFilter("All");
    EXPECT_EQ(Filter("All").mask, "*.*");
    SelectFilter("Programs");
    EXPECT_EQ(Text(kMask), "*.src;*.dat");
    EXPECT_EQ(Export(kFilter), kSeed.substr(0, kSeed.find(kFilterListHeader)));

    Apply();
    EXPECT_EQ(Export(kFilter + "\\Programs"),
              Area(FilterKey("Programs", "*.src;*.dat", std::string(99, 'c'), "00000000",
                             "00000000", "00000120")));
    uikit::Click(Page(), kRestore);
    SelectFilter("Programs");
    EXPECT_EQ(Text(kMask), "*.src;*.dat");
    EXPECT_FALSE(Checked(kShowExplode));
}

TEST_F(FiltersPageTest, KeysActOnReleaseAfterAPressInTheSameControl) {
    Open(kSeed);
    // The defined levels, the level's filters and all filters, each joined by commas.
    const auto state = [this] {
        std::string text;
        for (const int id : {kDefinedLevels, kLevelFilters, kAllFilters}) {
            for (const std::string& row : RowsOf(id)) {
                text += row + ",";
            }
            text += "|";
        }
        return text;
    };
    const std::string seeded =
        "Admin,DEFAULT,Expert,|All,Modules,Programs,Service,|"
        "All,Modules,Programs,Service,|";
    SelectLevel("Expert");
    uikit::ReleaseKey(Page(), kDefinedLevels, fw::kVkDelete);  // its press went elsewhere
    uikit::PressKey(Page(), kSupportedLevels, fw::kVkDelete);
    uikit::ReleaseKey(Page(), kDefinedLevels, fw::kVkDelete);
    SelectLevel("Admin");
    EXPECT_EQ(state(), seeded);

    const struct {
        int id;
        unsigned key;
        const char* select;  // the level or filter to select first, if any
        const char* state;
    } steps[] = {
        {kDefinedLevels, fw::kVkDelete, "Expert", "Admin,DEFAULT,|Modules,Programs,|"},
        {kSupportedLevels, fw::kVkReturn, "Demo", "Admin,DEFAULT,Demo,||"},
        {kAllFilters, fw::kVkReturn, "Service", "Admin,DEFAULT,Demo,|Service,|"},
        {kAllFilters, fw::kVkReturn, "All", "Admin,DEFAULT,Demo,|Service,All,|"},
        {kLevelFilters, fw::kVkDelete, nullptr, "Admin,DEFAULT,Demo,|Service,|"},
        {kLevelFilters, fw::kVkDelete, nullptr, "Admin,DEFAULT,Demo,|Service,|"},  // the last
        {kLevelFilters, fw::kVkReturn, nullptr, "Admin,DEFAULT,Demo,|Service,|"},
        {kDefinedLevels, fw::kVkReturn, nullptr, "Admin,DEFAULT,Demo,|Service,|"},
        {kNewName, fw::kVkReturn, "Keyed", "Admin,DEFAULT,Demo,|Service,|"},
        {kAllFilters, fw::kVkDelete, "Keyed", "Admin,DEFAULT,Demo,|Service,|"},
    };
    const std::string allFilters = "All,Modules,Programs,Service,|";
    for (const auto& s : steps) {
        if (s.select != nullptr && s.id == kDefinedLevels) {
            SelectLevel(s.select);
        } else if (s.select != nullptr && s.id == kSupportedLevels) {
            uikit::SelectRowByText(Page(), kSupportedLevels, s.select);
        } else if (s.select != nullptr && s.id == kNewName) {
            uikit::TypeText(Page(), kNewName, s.select);
        } else if (s.select != nullptr) {
            SelectFilter(s.select);
        }
        uikit::TapKey(Page(), s.id, s.key);
        const bool keyedThere = s.id == kNewName;
        EXPECT_EQ(state(),
                  s.state + (keyedThere ? "All,Modules,Programs,Service,Keyed,|" : allFilters))
            << s.id << " " << s.key;
    }
    EXPECT_TRUE(Ui().Messages().empty());
}

TEST_F(FiltersPageTest, AFailedLoadShowsTheOtherAreaAndApplyKeepsIt) {
    for (const std::string& seed : {kSeed.substr(0, kSeed.find(kFilterListHeader)),
                                    kSeed.substr(kSeed.find(kFilterListHeader))}) {
        Open(seed);
        EXPECT_FALSE(loaded_);
        const bool filtersThere = seed.find(kFilterListHeader) == std::string::npos;
        EXPECT_EQ(RowsOf(kAllFilters).size(), filtersThere ? 4u : 0u);
        EXPECT_EQ(RowsOf(kDefinedLevels).size(), filtersThere ? 0u : 3u);
        Apply();
        EXPECT_EQ(ExportBoth(), seed);
        EXPECT_TRUE(Ui().Messages().empty());
    }
}

}  // namespace

// The Display area's records and registry layout, against a temporary registry.
#include <gtest/gtest.h>

#include <string>

#include "pages/display/display_registry.h"
#include "pages/display/level_definition.h"
#include "tests/support/registry_fixture.h"

namespace {

using display::ColumnDefinition;
using display::DisplayRegistry;
using display::LevelDefinition;
using display::LevelList;
using testsupport::TempRegistry;

const std::string kDisplay = display::kDisplayKeyPath;
const std::string kDisplayHeader = "[HKEY_LOCAL_MACHINE\\" + kDisplay;

std::string ExportDisplay(const TempRegistry& reg) {
    return reg.Export(HKEY_LOCAL_MACHINE, kDisplay);
}

// A configured level as the file manager's installer writes it, with keys in the order the
// export lists them.
const std::string kRealisticArea = kDisplayHeader + "]\n" +                         //
                                   kDisplayHeader + "\\Expert]\n" +                 //
                                   kDisplayHeader + "\\Expert\\List]\n" +           //
                                   kDisplayHeader + "\\Expert\\List\\Columns]\n" +  //
                                   kDisplayHeader + "\\Expert\\List\\Columns\\0]\n" +
                                   "@=\"Label\"\n\"Width\"=dword:000000a0\n" +  //
                                   kDisplayHeader + "\\Expert\\List\\Columns\\1]\n" +
                                   "@=\"Extension\"\n\"Width\"=dword:0000003c\n" +  //
                                   kDisplayHeader + "\\Expert\\List\\Columns\\2]\n" +
                                   "@=\"Size\"\n\"Width\"=dword:00000046\n" +  //
                                   kDisplayHeader + "\\Expert\\List\\Columns\\3]\n" +
                                   "@=\"timeModified\"\n\"Width\"=dword:00000078\n" +  //
                                   kDisplayHeader + "\\Expert\\List\\Sort]\n" +
                                   "@=\"3\"\n\"Descending\"=dword:00000001\n" +  //
                                   kDisplayHeader + "\\Expert\\Tree]\n" +        //
                                   kDisplayHeader + "\\Expert\\Tree\\Volumes]\n" +
                                   "\"ARCHIV\"=dword:00000001\n\"CD\"=dword:00000000\n"
                                   "\"FD\"=dword:00000000\n\"HD\"=dword:00000001\n"
                                   "\"NET\"=dword:00000001\n\"VLX\"=dword:00000001\n";

// The Display key itself plus `body` (.reg text below it, paths relative to the Display key).
std::string Area(const std::string& body) {
    std::string text = kDisplayHeader + "]\n";
    std::string::size_type pos = 0;
    const std::string marker = "[Display";
    std::string out = body;
    while ((pos = out.find(marker, pos)) != std::string::npos) {
        out.replace(pos, marker.size(), kDisplayHeader);
        pos += kDisplayHeader.size();
    }
    return text + out;
}

TEST(DisplayRegistryTest, RealisticLevelSurvivesLoadAndSaveByteForByte) {
    TempRegistry reg(kRealisticArea);
    ASSERT_EQ(ExportDisplay(reg), kRealisticArea);

    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 1u);
    const LevelDefinition& level = *levels[0];
    EXPECT_EQ(level.name, "Expert");
    EXPECT_TRUE(level.descending);
    EXPECT_EQ(level.sortColumn, 3);
    EXPECT_EQ(level.volumes, 1u | 8u | 16u | 32u);
    ASSERT_EQ(level.columns.size(), 4u);
    const auto ordered = level.ColumnsInOrder();
    EXPECT_EQ(ordered[0]->name, "Label");
    EXPECT_EQ(ordered[0]->width, 160u);
    EXPECT_EQ(ordered[1]->name, "Extension");
    EXPECT_EQ(ordered[2]->name, "Size");
    EXPECT_EQ(ordered[3]->name, "timeModified");
    EXPECT_EQ(ordered[3]->width, 120u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ordered[i]->position, i);
        EXPECT_TRUE(ordered[i]->sortable);
        EXPECT_FALSE(ordered[i]->keepStoredName);
    }

    const auto result = DisplayRegistry::Save(area);
    EXPECT_TRUE(result.Ok());
    EXPECT_EQ(ExportDisplay(reg), kRealisticArea);
}

TEST(DisplayRegistryTest, MissingDisplayKeyFailsAndEmptiesTheList) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n");
    display::DisplayArea area;
    LevelList& levels = area.levels;
    levels.push_back(display::MakeNewLevel("User"));
    EXPECT_FALSE(DisplayRegistry::Load(area));
    EXPECT_TRUE(levels.empty());
}

TEST(DisplayRegistryTest, NewDefaultLevelIsWrittenExactlyAsLaidOut) {
    TempRegistry reg(kDisplayHeader + "]\n");
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    EXPECT_TRUE(levels.empty());

    levels.push_back(display::MakeNewLevel("DEFAULT"));
    EXPECT_TRUE(DisplayRegistry::Save(area).Ok());
    EXPECT_EQ(ExportDisplay(reg), Area("[Display\\DEFAULT]\n"
                                       "[Display\\DEFAULT\\List]\n"
                                       "[Display\\DEFAULT\\List\\Columns]\n"
                                       "[Display\\DEFAULT\\List\\Columns\\0]\n"
                                       "@=\"Label\"\n\"Width\"=dword:00000064\n"
                                       "[Display\\DEFAULT\\List\\Sort]\n"
                                       "@=\"0\"\n\"Descending\"=dword:00000000\n"
                                       "[Display\\DEFAULT\\Tree]\n"
                                       "[Display\\DEFAULT\\Tree\\Volumes]\n"
                                       "\"ARCHIV\"=dword:00000000\n\"CD\"=dword:00000000\n"
                                       "\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n"
                                       "\"NET\"=dword:00000000\n\"VLX\"=dword:00000001\n"));
    // The text values carry their terminating zero.
    const auto label = reg.Value(HKEY_LOCAL_MACHINE, kDisplay + "\\DEFAULT\\List\\Columns\\0", "");
    ASSERT_TRUE(label.has_value());
    EXPECT_EQ(label->first, REG_SZ);
    EXPECT_EQ(label->second, (std::vector<uint8_t>{'L', 'a', 'b', 'e', 'l', 0}));
}

TEST(DisplayRegistryTest, LoadReadsWhatTheLayoutHoldsAndStopsAtAColumnGap) {
    TempRegistry reg(
        Area("[Display\\User\\List\\Columns\\0]\n@=\"Label\"\n\"width\"=dword:00000010\n"
             "[Display\\User\\List\\Columns\\1]\n@=\"Size\"\n\"WIDTH\"=dword:00000020\n"
             "[Display\\User\\List\\Columns\\3]\n@=\"Comment\"\n\"Width\"=dword:30\n"
             "[Display\\User\\List\\Sort]\n@=\"2abc\"\n\"descending\"=dword:00000000\n"
             "[Display\\User\\Tree\\Volumes]\n\"ARCHIV\"=dword:00000005\n"
             "\"CD\"=dword:00000000\n\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n"
             "\"VLX\"=dword:00000000\n\"NET\"=dword:00000000\n"));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 1u);
    const LevelDefinition& level = *levels[0];
    ASSERT_EQ(level.columns.size(), 2u);
    EXPECT_EQ(level.ColumnAt(0)->name, "Label");
    EXPECT_EQ(level.ColumnAt(0)->width, 16u);
    EXPECT_EQ(level.ColumnAt(1)->name, "Size");
    EXPECT_EQ(level.ColumnAt(1)->width, 32u);
    EXPECT_EQ(level.sortColumn, 2);
    EXPECT_FALSE(level.descending);
    EXPECT_EQ(level.volumes, 1u);

    DisplayRegistry::Save(area);
    const std::string volumes = kDisplay + "\\User\\Tree\\Volumes";
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, volumes, "ARCHIV")->second,
              (std::vector<uint8_t>{1, 0, 0, 0}));
    // The key after the gap was not read, yet it is kept as it was.
    EXPECT_EQ(
        reg.Export(HKEY_LOCAL_MACHINE, kDisplay + "\\User\\List\\Columns\\3"),
        kDisplayHeader + "\\User\\List\\Columns\\3]\n@=\"Comment\"\n\"Width\"=dword:00000030\n");
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, kDisplay + "\\User\\List\\Sort", "")->second,
              (std::vector<uint8_t>{'2', 0}));
}

TEST(DisplayRegistryTest, SortTextFollowsTheAtoiRule) {
    const struct {
        const char* stored;  // .reg form of the unnamed Sort value; nullptr = no value
        int expected;
    } cases[] = {
        {"\"2abc\"", 2},
        {"\"\"", 0},
        {nullptr, 0},
        {"\"  -3x\"", -3},
        {"\"abc\"", 0},
        {"dword:00000002", 0},
        {"hex(1):35,36", 0},  // no terminating zero
        {"\"99999999999999999999\"", 2147483647},
    };
    for (const auto& c : cases) {
        std::string body = "[Display\\Demo\\List\\Sort]\n";
        if (c.stored != nullptr) {
            body += std::string("@=") + c.stored + "\n";
        }
        TempRegistry reg(Area(body));
        display::DisplayArea area;
        LevelList& levels = area.levels;
        ASSERT_TRUE(DisplayRegistry::Load(area));
        ASSERT_EQ(levels.size(), 1u);
        EXPECT_EQ(levels[0]->sortColumn, c.expected) << (c.stored ? c.stored : "(none)");
    }
}

TEST(DisplayRegistryTest, MissingValuesLoadAsDefinedDefaults) {
    TempRegistry reg(
        Area("[Display\\Demo\\List\\Columns\\0]\n@=\"Label\"\n"
             "[Display\\Demo\\List\\Sort]\n@=\"0\"\n"
             "[Display\\Demo\\Tree\\Volumes]\n\"VLX\"=dword:00000001\n"
             "[Display\\Admin\\List\\Columns\\0]\n@=\"Label\"\n\"Width\"=dword:00000050\n"));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 2u);
    const LevelDefinition* demo = display::FindLevelByName(levels, "demo");
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->ColumnAt(0)->width, 100u);
    EXPECT_FALSE(demo->descending);
    EXPECT_EQ(demo->volumes, 16u);
    const LevelDefinition* admin = display::FindLevelByName(levels, "ADMIN");
    ASSERT_NE(admin, nullptr);
    EXPECT_EQ(admin->ColumnAt(0)->width, 80u);
    EXPECT_EQ(admin->sortColumn, 0);
    EXPECT_FALSE(admin->descending);
    EXPECT_EQ(admin->volumes, 0u);

    DisplayRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kDisplay + "\\Demo"),
              kDisplayHeader + "\\Demo]\n" + kDisplayHeader + "\\Demo\\List]\n" + kDisplayHeader +
                  "\\Demo\\List\\Columns]\n" + kDisplayHeader +
                  "\\Demo\\List\\Columns\\0]\n@=\"Label\"\n\"Width\"=dword:00000064\n" +
                  kDisplayHeader + "\\Demo\\List\\Sort]\n@=\"0\"\n\"Descending\"=dword:00000000\n" +
                  kDisplayHeader + "\\Demo\\Tree]\n" + kDisplayHeader +
                  "\\Demo\\Tree\\Volumes]\n\"ARCHIV\"=dword:00000000\n\"CD\"=dword:00000000\n"
                  "\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n\"NET\"=dword:00000000\n"
                  "\"VLX\"=dword:00000001\n");
}

TEST(DisplayRegistryTest, LevelWithoutColumnsIsSavedWithoutColumnsKey) {
    TempRegistry reg(Area("[Display\\Expert]\n"));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_TRUE(levels[0]->columns.empty());
    DisplayRegistry::Save(area);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kDisplay + "\\Expert\\List\\Columns"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kDisplay + "\\Expert\\List\\Sort"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kDisplay + "\\Expert\\Tree\\Volumes"));
}

TEST(DisplayRegistryTest, SavingNoLevelsLeavesNoDisplayKey) {
    TempRegistry reg(kRealisticArea);
    display::DisplayArea area;
    EXPECT_TRUE(DisplayRegistry::Save(area).Ok());
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kDisplay));
    EXPECT_FALSE(DisplayRegistry::Load(area));
}

TEST(DisplayRegistryTest, LongLevelAndColumnNamesAreReadWholeAndKept) {
    const std::string longLevel(150, 'L');
    const std::string longColumn(300, 'c');
    const std::string body = "[Display\\" + longLevel + "\\List\\Columns\\0]\n@=\"" + longColumn +
                             "\"\n\"Width\"=dword:00000011\n"
                             "[Display\\" +
                             longLevel +
                             "\\List\\Sort]\n@=\"0\"\n"
                             "[Display\\User\\List\\Columns\\0]\n@=\"Label\"\n";
    TempRegistry reg(Area(body));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 2u);  // the enumeration goes on after the long name
    const LevelDefinition* level = display::FindLevelByName(levels, longLevel);
    ASSERT_NE(level, nullptr);
    ASSERT_EQ(level->columns.size(), 1u);
    EXPECT_EQ(level->ColumnAt(0)->name, longColumn);
    EXPECT_NE(display::FindLevelByName(levels, "User"), nullptr);

    DisplayRegistry::Save(area);
    const auto name =
        reg.Value(HKEY_LOCAL_MACHINE, kDisplay + "\\" + longLevel + "\\List\\Columns\\0", "");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(name->first, REG_SZ);
    EXPECT_EQ(std::string(name->second.begin(), name->second.end()), longColumn + '\0');
    EXPECT_EQ(
        reg.Value(HKEY_LOCAL_MACHINE, kDisplay + "\\" + longLevel + "\\List\\Columns\\0", "Width")
            ->second,
        (std::vector<uint8_t>{0x11, 0, 0, 0}));
}

TEST(DisplayRegistryTest, ColumnNameThatIsNoTextIsShownEmptyAndWrittenBackUnchanged) {
    TempRegistry reg(
        Area("[Display\\User\\List\\Columns\\0]\n@=\"Label\"\n\"Width\"=dword:00000064\n"
             "[Display\\User\\List\\Columns\\1]\n@=dword:00000007\n\"Width\"=dword:00000064\n"
             "[Display\\User\\List\\Columns\\2]\n@=hex(1):53,69,7a,65\n\"Width\"=dword:00000064\n"
             "[Display\\User\\List\\Columns\\3]\n\"Width\"=dword:00000064\n"
             "[Display\\User\\List\\Columns\\4]\n@=hex:00,01\n\"Width\"=dword:00000064\n"));
    const std::string before = ExportDisplay(reg);
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 1u);
    const LevelDefinition& level = *levels[0];
    ASSERT_EQ(level.columns.size(), 5u);
    for (int position = 1; position <= 4; ++position) {
        EXPECT_EQ(level.ColumnAt(position)->name, "") << position;
        EXPECT_TRUE(level.ColumnAt(position)->keepStoredName) << position;
    }
    DisplayRegistry::Save(area);
    const std::string columns = kDisplay + "\\User\\List\\Columns\\";
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, columns + "1", "")->first, REG_DWORD);
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, columns + "2", "")->second,
              (std::vector<uint8_t>{'S', 'i', 'z', 'e'}));
    EXPECT_FALSE(reg.Value(HKEY_LOCAL_MACHINE, columns + "3", "").has_value());
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, columns + "4", "")->first, REG_BINARY);
    // Nothing but the (absent) sort and volume keys was added.
    const std::string after = ExportDisplay(reg);
    EXPECT_NE(after.find(before.substr(before.find("\\Columns\\0]"))), std::string::npos);
}

// ---- What the layout does not own survives a save -----------------------------------------

// A level carrying foreign data at every place of the layout: values in each of its keys,
// unknown keys, a seventh volume, extra values and a subkey in column keys, and a column key
// after a gap. Keys and values are in the export's order.
const std::string kForeignArea = Area(
    "[Display\\User]\n\"Owner\"=\"service\"\n"
    "[Display\\User\\Extra]\n"
    "[Display\\User\\Extra\\Deeper]\n\"x\"=hex:01,02\n"
    "[Display\\User\\List]\n\"Mode\"=\"grid\"\n"
    "[Display\\User\\List\\Columns]\n\"Count\"=dword:00000003\n"
    "[Display\\User\\List\\Columns\\0]\n@=\"Label\"\n\"Align\"=\"left\"\n"
    "\"Width\"=dword:00000050\n"
    "[Display\\User\\List\\Columns\\0\\Format]\n\"Digits\"=dword:00000002\n"
    "[Display\\User\\List\\Columns\\1]\n@=\"Size\"\n\"Align\"=\"right\"\n"
    "\"Width\"=dword:00000046\n"
    "[Display\\User\\List\\Columns\\2]\n@=\"Comment\"\n\"Width\"=dword:000000c8\n"
    "[Display\\User\\List\\Columns\\4]\n@=\"Release\"\n\"Align\"=\"center\"\n"
    "\"Width\"=dword:00000030\n"
    "[Display\\User\\List\\Other]\n\"y\"=\"z\"\n"
    "[Display\\User\\List\\Sort]\n@=\"1\"\n\"Descending\"=dword:00000001\n"
    "\"Secondary\"=\"2\"\n"
    "[Display\\User\\Tree]\n\"Expanded\"=dword:00000001\n"
    "[Display\\User\\Tree\\Volumes]\n\"ARCHIV\"=dword:00000000\n\"CD\"=dword:00000001\n"
    "\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n\"NET\"=dword:00000000\n"
    "\"USB\"=dword:00000001\n\"VLX\"=dword:00000001\n"
    "[Display\\User\\Tree\\Volumes\\Mounts]\n@=\"D:\"\n");

// kForeignArea with values in the Display key itself.
std::string ForeignAreaWithDisplayValues() {
    return kForeignArea + kDisplayHeader + "]\n\"Version\"=dword:00000002\n@=\"display\"\n";
}

TEST(DisplayKeptDataTest, EverythingTheLayoutDoesNotOwnSurvivesUnchanged) {
    TempRegistry reg(ForeignAreaWithDisplayValues());
    const std::string before = ExportDisplay(reg);
    ASSERT_NE(before.find("\"Version\"=dword:00000002"), std::string::npos);
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0]->columns.size(), 3u);  // still stops at the gap
    EXPECT_EQ(levels[0]->volumes, 2u | 16u);

    EXPECT_TRUE(DisplayRegistry::Save(area).Ok());
    EXPECT_EQ(ExportDisplay(reg), before);
    // Saving again from the same records changes nothing.
    DisplayRegistry::Save(area);
    EXPECT_EQ(ExportDisplay(reg), before);
}

TEST(DisplayKeptDataTest, OwnedValuesAreWrittenInTheSavesSpelling) {
    TempRegistry reg(
        Area("[Display\\User\\List\\Columns\\0]\n@=\"Label\"\n\"WIDTH\"=dword:00000050\n"
             "\"Align\"=\"left\"\n"
             "[Display\\User\\List\\Sort]\n@=\"0\"\n\"descending\"=dword:00000001\n"));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    levels[0]->ColumnAt(0)->width = 90;
    DisplayRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kDisplay + "\\User\\List"),
              kDisplayHeader + "\\User\\List]\n" + kDisplayHeader + "\\User\\List\\Columns]\n" +
                  kDisplayHeader +
                  "\\User\\List\\Columns\\0]\n@=\"Label\"\n\"Align\"=\"left\"\n"
                  "\"Width\"=dword:0000005a\n" +
                  kDisplayHeader + "\\User\\List\\Sort]\n@=\"0\"\n\"Descending\"=dword:00000001\n");
}

TEST(DisplayKeptDataTest, ExtraColumnValuesMoveWithTheirColumn) {
    TempRegistry reg(kForeignArea);
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    LevelDefinition& level = *levels[0];
    ASSERT_TRUE(level.MoveColumn(level.FindColumn("Comment"), -1));  // Label, Comment, Size
    DisplayRegistry::Save(area);
    const std::string columns = kDisplay + "\\User\\List\\Columns\\";
    EXPECT_EQ(
        reg.Export(HKEY_LOCAL_MACHINE, columns + "1"),
        kDisplayHeader + "\\User\\List\\Columns\\1]\n@=\"Comment\"\n\"Width\"=dword:000000c8\n");
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, columns + "2"),
              kDisplayHeader +
                  "\\User\\List\\Columns\\2]\n@=\"Size\"\n\"Align\"=\"right\"\n"
                  "\"Width\"=dword:00000046\n");

    // A removed column takes its extras along.
    level.RemoveColumn(level.FindColumn("Size"));
    DisplayRegistry::Save(area);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, columns + "2"));
    EXPECT_EQ(ExportDisplay(reg).find("\"right\""), std::string::npos);
}

TEST(DisplayKeptDataTest, ColumnKeyAfterAGapStaysAfterAGapWhateverTheColumnCount) {
    TempRegistry reg(kForeignArea);
    const std::string releaseKey =
        "]\n@=\"Release\"\n\"Align\"=\"center\"\n\"Width\"=dword:00000030\n";
    const std::string columns = kDisplay + "\\User\\List\\Columns\\";
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    LevelDefinition& level = *levels[0];

    // One more column fills the gap before key 4, which would then be read as a column: it
    // moves on by one, so number 4 is the gap now.
    level.AddColumn("User");
    DisplayRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, columns + "3"),
              kDisplayHeader + "\\User\\List\\Columns\\3]\n@=\"User\"\n\"Width\"=dword:00000064\n");
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, columns + "4"));
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, columns + "5"),
              kDisplayHeader + "\\User\\List\\Columns\\5" + releaseKey);

    // Two more would overwrite it: it goes past the gap after the model's columns.
    level.AddColumn("DataSize");
    level.AddColumn("EditMode");
    DisplayRegistry::Save(area);
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, columns + "4", "")->second,
              (std::vector<uint8_t>{'D', 'a', 't', 'a', 'S', 'i', 'z', 'e', 0}));
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, columns + "5", "")->second,
              (std::vector<uint8_t>{'E', 'd', 'i', 't', 'M', 'o', 'd', 'e', 0}));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, columns + "6"));
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, columns + "7"),
              kDisplayHeader + "\\User\\List\\Columns\\7" + releaseKey);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, columns + "8"));
    display::DisplayArea reloaded;
    ASSERT_TRUE(DisplayRegistry::Load(reloaded));
    EXPECT_EQ(reloaded.levels[0]->columns.size(), 6u);

    // Back to fewer columns, the kept key returns to its own number, once.
    level.RemoveColumn(level.FindColumn("EditMode"));
    level.RemoveColumn(level.FindColumn("DataSize"));
    level.RemoveColumn(level.FindColumn("User"));
    DisplayRegistry::Save(area);
    EXPECT_EQ(
        reg.Export(HKEY_LOCAL_MACHINE, kDisplay + "\\User\\List\\Columns"),
        kDisplayHeader + "\\User\\List\\Columns]\n\"Count\"=dword:00000003\n" + kDisplayHeader +
            "\\User\\List\\Columns\\0]\n@=\"Label\"\n\"Align\"=\"left\"\n"
            "\"Width\"=dword:00000050\n" +
            kDisplayHeader + "\\User\\List\\Columns\\0\\Format]\n\"Digits\"=dword:00000002\n" +
            kDisplayHeader +
            "\\User\\List\\Columns\\1]\n@=\"Size\"\n\"Align\"=\"right\"\n"
            "\"Width\"=dword:00000046\n" +
            kDisplayHeader +
            "\\User\\List\\Columns\\2]\n@=\"Comment\"\n\"Width\"=dword:000000c8\n" +
            kDisplayHeader + "\\User\\List\\Columns\\4" + releaseKey);
}

TEST(DisplayKeptDataTest, RenumberedKeysSkipNumbersOtherKeptKeysHold) {
    TempRegistry reg(
        Area("[Display\\User\\List\\Columns\\0]\n@=\"Label\"\n"
             "[Display\\User\\List\\Columns\\2]\n@=\"Two\"\n"
             "[Display\\User\\List\\Columns\\3]\n@=\"Three\"\n"
             "[Display\\User\\List\\Columns\\5]\n@=\"Five\"\n"
             "[Display\\User\\List\\Columns\\03]\n@=\"Not a number\"\n"));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    LevelDefinition& level = *levels[0];
    ASSERT_EQ(level.columns.size(), 1u);
    for (const char* name : {"Size", "User", "Comment", "Release"}) {
        level.AddColumn(name);  // positions 1 to 4: keys 2 and 3 clash
    }
    DisplayRegistry::Save(area);
    const std::string columns = kDisplay + "\\User\\List\\Columns\\";
    auto name = [&](const std::string& key) {
        const auto value = reg.Value(HKEY_LOCAL_MACHINE, columns + key, "");
        return value ? std::string(value->second.begin(), value->second.end()) : std::string("-");
    };
    // 5 is the gap after the model's columns, so key 5 moves beyond it as well.
    EXPECT_EQ(name("4"), std::string("Release") + '\0');
    EXPECT_EQ(name("5"), "-");
    EXPECT_EQ(name("6"), std::string("Two") + '\0');
    EXPECT_EQ(name("7"), std::string("Three") + '\0');
    EXPECT_EQ(name("8"), std::string("Five") + '\0');
    EXPECT_EQ(name("03"), std::string("Not a number") + '\0');
    EXPECT_EQ(name("9"), "-");
}

TEST(DisplayKeptDataTest, RemovedLevelLeavesNothingAndANewLevelHasOnlyTheLayout) {
    TempRegistry reg(ForeignAreaWithDisplayValues() +
                     Area("[Display\\Demo\\List\\Columns\\0]\n@=\"Label\"\n"
                          "\"Width\"=dword:00000064\n\"Align\"=\"left\"\n"));
    display::DisplayArea area;
    LevelList& levels = area.levels;
    ASSERT_TRUE(DisplayRegistry::Load(area));
    ASSERT_EQ(levels.size(), 2u);
    // "User" is removed and added again: the new record is a new level.
    levels.erase(levels.begin() + (levels[0]->name == "User" ? 0 : 1));
    levels.push_back(display::MakeNewLevel("User"));
    DisplayRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kDisplay + "\\User"),
              kDisplayHeader + "\\User]\n" + kDisplayHeader + "\\User\\List]\n" + kDisplayHeader +
                  "\\User\\List\\Columns]\n" + kDisplayHeader +
                  "\\User\\List\\Columns\\0]\n@=\"Label\"\n\"Width\"=dword:00000064\n" +
                  kDisplayHeader + "\\User\\List\\Sort]\n@=\"0\"\n\"Descending\"=dword:00000000\n" +
                  kDisplayHeader + "\\User\\Tree]\n" + kDisplayHeader +
                  "\\User\\Tree\\Volumes]\n\"ARCHIV\"=dword:00000000\n\"CD\"=dword:00000000\n"
                  "\"FD\"=dword:00000000\n\"HD\"=dword:00000000\n\"NET\"=dword:00000000\n"
                  "\"VLX\"=dword:00000001\n");
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, kDisplay + "\\Demo\\List\\Columns\\0", "Align")->second,
              (std::vector<uint8_t>{'l', 'e', 'f', 't', 0}));

    // With every level gone, the Display key stays for its own values only.
    levels.clear();
    DisplayRegistry::Save(area);
    EXPECT_EQ(ExportDisplay(reg),
              kDisplayHeader + "]\n@=\"display\"\n\"Version\"=dword:00000002\n");
}

// ---- Column edits in memory -------------------------------------------------------------

std::unique_ptr<LevelDefinition> LevelWith(std::initializer_list<const char*> extraColumns) {
    auto level = display::MakeNewLevel("User");
    for (const char* name : extraColumns) {
        level->AddColumn(name);
    }
    return level;
}

std::vector<std::string> Order(const LevelDefinition& level) {
    std::vector<std::string> names;
    for (const ColumnDefinition* column : level.ColumnsInOrder()) {
        names.push_back(column->name);
    }
    return names;
}

TEST(LevelDefinitionTest, NewLevelHasTheDefaults) {
    const auto level = display::MakeNewLevel("Demo");
    EXPECT_EQ(level->name, "Demo");
    EXPECT_FALSE(level->descending);
    EXPECT_EQ(level->sortColumn, 0);
    EXPECT_EQ(level->volumes, 16u);
    ASSERT_EQ(level->columns.size(), 1u);
    EXPECT_EQ(level->columns[0]->name, "Label");
    EXPECT_EQ(level->columns[0]->position, 0);
    EXPECT_EQ(level->columns[0]->width, 100u);
}

TEST(LevelDefinitionTest, MovesSwapNeighboursAndProtectTheFirstPlace) {
    auto level = LevelWith({"Size", "Comment"});
    EXPECT_FALSE(level->MoveColumn(level->FindColumn("label"), +1));
    EXPECT_FALSE(level->MoveColumn(level->FindColumn("Size"), -1));     // into Label's place
    EXPECT_FALSE(level->MoveColumn(level->FindColumn("Comment"), +1));  // past the end
    EXPECT_EQ(Order(*level), (std::vector<std::string>{"Label", "Size", "Comment"}));

    EXPECT_TRUE(level->MoveColumn(level->FindColumn("Comment"), -1));
    EXPECT_EQ(Order(*level), (std::vector<std::string>{"Label", "Comment", "Size"}));
    EXPECT_EQ(level->FindColumn("Comment")->position, 1);
    EXPECT_EQ(level->FindColumn("Size")->position, 2);
}

TEST(LevelDefinitionTest, SortColumnFollowsItsColumn) {
    auto level = LevelWith({"Size", "Comment", "User"});
    level->sortColumn = 2;  // Comment
    level->MoveColumn(level->FindColumn("Comment"), -1);
    EXPECT_EQ(level->sortColumn, 1);
    level->MoveColumn(level->FindColumn("User"), -1);  // swaps with Size, not Comment
    EXPECT_EQ(level->sortColumn, 1);
    level->MoveColumn(level->FindColumn("Size"), -1);  // Size takes Comment's place
    EXPECT_EQ(level->ColumnAt(level->sortColumn)->name, "Comment");

    level->RemoveColumn(level->FindColumn("Size"));  // an earlier column goes
    EXPECT_EQ(level->ColumnAt(level->sortColumn)->name, "Comment");
    level->RemoveColumn(level->FindColumn("User"));  // a later column goes
    EXPECT_EQ(level->ColumnAt(level->sortColumn)->name, "Comment");
    level->RemoveColumn(level->FindColumn("Comment"));  // the sort column itself goes
    EXPECT_EQ(level->sortColumn, 0);
    EXPECT_EQ(Order(*level), (std::vector<std::string>{"Label"}));
}

TEST(LevelDefinitionTest, RemovalRenumbersWithoutGaps) {
    auto level = LevelWith({"Size", "Comment", "User"});
    level->RemoveColumn(level->FindColumn("size"));
    EXPECT_EQ(Order(*level), (std::vector<std::string>{"Label", "Comment", "User"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(level->ColumnsInOrder()[i]->position, i);
    }
    level->AddColumn("Size");
    EXPECT_EQ(level->FindColumn("Size")->position, 3);
}

}  // namespace

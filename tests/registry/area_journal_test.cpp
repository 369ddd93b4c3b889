// The journal around a save: whatever part of a save was made before it was cut off, the
// areas come back from the journal exactly as they were, and a finished save leaves a backup
// that the registry editor's import turns back into the old areas. Runs against the .reg file
// store and, on Windows, the system registry.

#include "registry/area_journal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "registry/area_copy.h"
#include "registry/key_snapshot.h"
#include "registry/reg_import.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "tests/support/registry_fixture.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempRegistry;

const std::string kOstrix = "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix";
const std::string kFilter = kOstrix + "\\Filter";
const std::string kFilterList = kOstrix + "\\FilterList";
const std::string kTemplate = kOstrix + "\\Template";          // missing, with its parent present
const std::string kNowhere = "Software\\VORNA Nowhere\\Area";  // missing with its parent

const std::string kSeed = "[HKEY_LOCAL_MACHINE\\" + kFilter +
                          "]\r\n\"Own\"=hex(7):61,00,00\r\n"
                          "[HKEY_LOCAL_MACHINE\\" +
                          kFilter +
                          "\\All]\r\n\"Mask\"=\"*.*\"\r\n\"Flags\"=dword:00000003\r\n"
                          "[HKEY_LOCAL_MACHINE\\" +
                          kFilter +
                          "\\Odd]\r\n\"NoZero\"=hex(1):41,42\r\n"
                          "[HKEY_LOCAL_MACHINE\\" +
                          kFilterList +
                          "\\Admin]\r\n@=\"All\"\r\n\"All\"=dword:00000001\r\n"
                          "[HKEY_LOCAL_MACHINE\\" +
                          kOstrix + "\\Display]\r\n\"Outside\"=\"kept\"\r\n";

const std::vector<std::string_view> kAreas{kFilter, kFilterList, kTemplate, kNowhere};

std::string Areas(const TempRegistry& reg) {
    std::string text;
    for (std::string_view area : kAreas)
        text += reg.Export(HKEY_LOCAL_MACHINE, std::string(area)) + "--\n";
    return text + reg.Export(HKEY_LOCAL_MACHINE, kOstrix + "\\Display");
}

// A save as pages make them: one registry change per step, so it can be cut off after any.
const std::vector<std::function<void()>> kSaveSteps{
    [] { DeleteKeyTree(HKEY_LOCAL_MACHINE, kFilter.c_str()); },
    [] { DeleteKeyTree(HKEY_LOCAL_MACHINE, kFilterList.c_str()); },
    [] {
        RegistryKey key;
        key.Create(HKEY_LOCAL_MACHINE, (kFilter + "\\New").c_str());
    },
    [] {
        RegistryKey key;
        key.Create(HKEY_LOCAL_MACHINE, (kFilter + "\\New").c_str());
        key.SetString("Mask", "*.new");
    },
    [] {
        RegistryKey key;
        key.Create(HKEY_LOCAL_MACHINE, (kTemplate + "\\Cell").c_str());
        key.SetString("", "c:\\cell");
    },
    [] {
        RegistryKey key;
        key.Create(HKEY_LOCAL_MACHINE, (kNowhere + "\\Made").c_str());
        key.SetNumber("N", 7);
    },
    [] {
        RegistryKey key;
        key.Create(HKEY_LOCAL_MACHINE, (kFilterList + "\\Admin").c_str());
        key.SetNumber("New", 1);
    },
};

class AreaJournalTest : public ::testing::Test {
  protected:
    AreaJournalTest() : folder_(fs::temp_directory_path() / ("vlx-journal-" + Unique())) {}
    ~AreaJournalTest() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    static std::string Unique() {
        return std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path folder_;
};

TEST_F(AreaJournalTest, ASaveCutOffAfterAnyStepIsPutBackExactly) {
    for (std::size_t cut = 0; cut <= kSaveSteps.size(); ++cut) {
        SCOPED_TRACE("cut after step " + std::to_string(cut));
        fs::remove_all(folder_);
        TempRegistry reg(kSeed);
        const std::string before = Areas(reg);
        {
            registry::AreaJournal journal(folder_.string());
            ASSERT_EQ(journal.Begin("Filter/Filter list", kAreas), "");
            for (std::size_t i = 0; i < cut; ++i)
                kSaveSteps[i]();
            // The program dies here: no Finish.
        }
        registry::AreaJournal next(folder_.string());
        const auto pending = next.Pending();
        ASSERT_TRUE(pending.has_value());
        EXPECT_EQ(pending->page, "Filter-Filter list");
        EXPECT_EQ(pending->when.size(), 19u) << pending->when;
        ASSERT_EQ(next.Restore(*pending), "");
        EXPECT_EQ(Areas(reg), before);
        EXPECT_FALSE(next.Pending().has_value());
        EXPECT_EQ(next.Backups("Filter/Filter list").size(), 1u);
    }
}

TEST_F(AreaJournalTest, AFinishedSaveLeavesABackupThatImportsBackToTheOldAreas) {
    TempRegistry reg(kSeed);
    const std::string before = Areas(reg);
    registry::AreaJournal journal(folder_.string(), 3);
    ASSERT_EQ(journal.Begin("Filter/Filter list", kAreas), "");
    for (const auto& step : kSaveSteps)
        step();
    ASSERT_EQ(journal.Finish(), "");
    EXPECT_FALSE(journal.Pending().has_value());
    const auto first = journal.Backups("Filter/Filter list");
    ASSERT_EQ(first.size(), 1u);
    const std::string bytes = Read(first[0].path);
    ASSERT_EQ(bytes.substr(0, 4), std::string("\xFF\xFEW\0", 4));  // version 5.00, UTF-16
    const std::string edited = Areas(reg);
    ASSERT_NE(edited, before);
    ASSERT_EQ(registry::ImportRegText(bytes, first[0].path), "");
    EXPECT_EQ(Areas(reg), before);

    // The newest three of a page stay; another page's backups are its own.
    for (int save = 0; save < 4; ++save) {
        ASSERT_EQ(journal.Begin("Filter/Filter list", kAreas), "");
        ASSERT_EQ(journal.Finish(), "");
    }
    ASSERT_EQ(journal.Begin("Templates/Templates list", {kTemplate}), "");
    ASSERT_EQ(journal.Finish(), "");
    const auto kept = journal.Backups("Filter/Filter list");
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_GT(fs::path(kept[0].path).filename(), fs::path(first[0].path).filename());
    EXPECT_LT(fs::path(kept[0].path).filename(), fs::path(kept[2].path).filename());
    EXPECT_EQ(journal.Backups("Templates/Templates list").size(), 1u);
}

// An area of values only (the History page's, in the key whose subkeys are the Archive
// Manager's): cut off or finished, the values come back exactly, a value the save added goes,
// and the subkeys keep what others wrote there in the meantime.
TEST_F(AreaJournalTest, AValuesOnlyAreaGivesBackItsValuesAndLeavesItsSubkeys) {
    const std::string archive = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive";
    const std::string seed = "[HKEY_LOCAL_MACHINE\\" + archive +
                             "]\r\n\"History\"=dword:00000001\r\n\"Odd\"=hex(4):01\r\n"
                             "[HKEY_LOCAL_MACHINE\\" +
                             archive + "\\Path]\r\n\"C:\\\\Data\"=\"Default\"\r\n";
    const auto values = [&](const TempRegistry& reg) {
        std::string all = reg.Export(HKEY_LOCAL_MACHINE, archive);
        return all.substr(0, all.find("\\Path]"));
    };
    for (const bool finished : {false, true}) {
        SCOPED_TRACE(finished ? "finished" : "cut off");
        fs::remove_all(folder_);
        TempRegistry reg(seed);
        const std::string before = values(reg);
        registry::AreaJournal journal(folder_.string());
        ASSERT_EQ(journal.Begin("History Info", {archive}, registry::JournalScope::Values), "");
        {
            RegistryKey key;
            ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, archive.c_str()), ERROR_SUCCESS);
            key.SetNumber("History", 0);
            key.SetNumber("MaxHistoryCount", 9);  // new
            RegistryKey path;
            ASSERT_EQ(path.Create(HKEY_LOCAL_MACHINE, (archive + "\\Path").c_str()), ERROR_SUCCESS);
            path.SetString("D:\\More", "");  // another page's, written meanwhile
        }
        ASSERT_NE(values(reg), before);
        const std::string subkeys = reg.Export(HKEY_LOCAL_MACHINE, archive + "\\Path");
        if (finished) {
            ASSERT_EQ(journal.Finish(), "");
            const auto backups = journal.Backups("History Info");
            ASSERT_EQ(backups.size(), 1u);
            ASSERT_EQ(registry::ImportRegText(Read(backups[0].path), backups[0].path), "");
        } else {
            registry::AreaJournal next(folder_.string());
            const auto pending = next.Pending();
            ASSERT_TRUE(pending.has_value());
            ASSERT_EQ(next.Restore(*pending), "");
            // The backup it leaves imports to the same values, from the edited ones again.
            RegistryKey key;
            ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, archive.c_str()), ERROR_SUCCESS);
            key.SetNumber("MaxHistoryCount", 9);
            const auto backups = next.Backups("History Info");
            ASSERT_EQ(backups.size(), 1u);
            ASSERT_EQ(registry::ImportRegText(Read(backups[0].path), backups[0].path), "");
        }
        EXPECT_EQ(values(reg), before);
        EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, archive + "\\Path"), subkeys);
    }
}

// A copy read at a page's load stands in for the journal's read of the areas while it is
// current. Each copy is read on a thread that has ended, as the start-up reads; whatever
// changed, the journal must hold what is stored, never a stale copy.
TEST_F(AreaJournalTest, ACopyReadAtLoadServesTheJournalUntilAnythingInItsAreasChanges) {
    const std::vector<std::string_view> areas{kFilter, kFilterList};
    const auto set = [](const std::string& path, const char* name, const char* text) {
        RegistryKey key;
        key.Create(HKEY_LOCAL_MACHINE, path.c_str());
        key.SetString(name, text);
    };
    struct Change {
        const char* what;
        std::function<void()> make;
        std::optional<bool> current;  // none: either is right, nothing stored differs
    };
    const std::vector<Change> changes{
        {"nothing", [] {}, true},
        {"a value set deep in an area", [&] { set(kFilter + "\\All", "Mask", "*.txt"); }, false},
        // Windows signals the watch; Wine's server sees no change and does not.
        {"a value set to the bytes it holds", [&] { set(kFilter + "\\All", "Mask", "*.*"); },
         registry::kRegistryIsFile ? std::optional<bool>(false) : std::nullopt},
        {"a subkey made", [&] { set(kFilterList + "\\Guest", "All", ""); }, false},
        {"a value deleted",
         [] {
             RegistryKey key;
             key.Open(HKEY_LOCAL_MACHINE, kFilterList.c_str());
             RegistryKey admin;
             admin.Open(key, "Admin");
             RegDeleteValueA(admin, "All");
         },
         false},
        {"an area deleted and made again as it was",
         [] {
             registry::KeySnapshot was;
             {
                 RegistryKey key;
                 key.Open(HKEY_LOCAL_MACHINE, kFilter.c_str(), KEY_READ);
                 registry::ReadKeySnapshot(key, &was);
             }
             DeleteKeyTree(HKEY_LOCAL_MACHINE, kFilter.c_str());
             registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, kFilter, was);
         },
         false},
        // The system watches the areas only; the file store knows only that this process
        // changed something.
        {"a key outside the areas changed", [&] { set(kOstrix + "\\Display", "Outside", "x"); },
         !registry::kRegistryIsFile},
#ifdef _WIN32
        {"another program sets a value",
         [] {
             const std::string command =
                 "reg add \"HKLM\\" + kFilter + "\\All\" /v Other /t REG_SZ /d x /f /reg:32 >NUL";
             ASSERT_EQ(std::system(command.c_str()), 0);
         },
         false},
#endif
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        fs::remove_all(folder_);
        TempRegistry reg(kSeed);
        registry::AreaCopy copy;
        std::thread([&] { copy = registry::AreaCopy::Read(areas); }).join();
        ASSERT_NE(copy.Contents(kFilter), nullptr);
        change.make();
        if (change.current) {
            EXPECT_EQ(copy.Current(), *change.current);
        }

        registry::AreaJournal journal(folder_.string());
        ASSERT_EQ(journal.Begin("Filter/Filter list", areas, registry::JournalScope::Keys, &copy),
                  "");
        ASSERT_EQ(journal.Finish(), "");
        ASSERT_EQ(journal.Begin("Filter/Filter list", areas), "");
        ASSERT_EQ(journal.Finish(), "");
        const auto backups = journal.Backups("Filter/Filter list");
        ASSERT_EQ(backups.size(), 2u);
        EXPECT_EQ(Read(backups[0].path), Read(backups[1].path));
    }
    // An area that was not there is never current: its journal line deletes what may be made.
    TempRegistry reg(kSeed);
    const registry::AreaCopy missing = registry::AreaCopy::Read({kFilter, kTemplate});
    EXPECT_EQ(missing.Contents(kTemplate), nullptr);
    EXPECT_FALSE(missing.Current());
}

TEST_F(AreaJournalTest, AJournalThatCannotBeWrittenStopsTheSaveBeforeAnyChange) {
    TempRegistry reg(kSeed);
    // A file where the journal folder would be: the folder cannot be made.
    fs::create_directories(folder_);
    std::ofstream(folder_ / "journal") << "in the way";
    registry::AreaJournal journal(folder_.string());
    const std::string why = journal.Begin("Filter/Filter list", kAreas);
    EXPECT_NE(why.find("journal"), std::string::npos) << why;
    EXPECT_FALSE(journal.Pending().has_value());
    EXPECT_EQ(journal.Finish(), "");
}

TEST_F(AreaJournalTest, ABrokenFileChangesNothing) {
    TempRegistry reg(kSeed);
    const std::string before = Areas(reg);
    EXPECT_NE(registry::ImportRegText("REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\" + kFilter +
                                          "]\r\n[HKEY_LOCAL_MACHINE\\" + kFilter +
                                          "]\r\n\"x\"=dword:1234567890\r\n",
                                      "broken.reg"),
              "");
    EXPECT_EQ(Areas(reg), before);
}

}  // namespace

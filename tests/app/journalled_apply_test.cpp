// "&Apply" inside the journal of its area: a save cut off after any of its registry changes,
// as a crash would cut it (nothing after the cut runs, not even the journal's end), leaves a
// journal from which the start-up puts the area back exactly as it was; a save that runs to its
// end leaves exactly the new area and a backup. Every page of the program on the sample.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/apply_journal.h"
#include "app/page_table.h"
#include "framework/ui_service.h"
#include "registry/area_journal.h"
#include "registry/reg_text.h"
#include "registry/registry_store.h"
#include "registry/write_hook.h"
#include "tests/support/area_edit.h"
#include "tests/support/page_harness.h"

namespace {

namespace fs = std::filesystem;

std::string SampleText() {
    std::ifstream in(VLX_SAMPLE_FILE, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The blocks of .reg `text` ("[key]" and its value lines) of the keys `keys` and below them.
std::string OnlyKeys(const std::string& text, const std::vector<std::string>& keys) {
    std::string kept;
    bool keep = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        const std::string line = text.substr(start, end - start);
        if (line.starts_with("[")) {
            keep = false;
            for (const std::string& key : keys) {
                const std::string prefix = "[HKEY_LOCAL_MACHINE\\" + key;
                const char next = line.size() > prefix.size() ? line[prefix.size()] : '\0';
                keep = keep || (registry::NamesEqual(line.substr(0, prefix.size()), prefix) &&
                                (next == ']' || next == '\\'));
            }
        }
        if (keep)
            kept += line;
        start = end;
    }
    return kept;
}

std::vector<std::string> Keys(const PageEntry& entry) {
    return {entry.area->keys.begin(), entry.area->keys.end()};
}

std::string Areas(testsupport::PageHarness& h, const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys)
        text += h.Export(key) + "--\n";
    return text;
}

// The journal as the program uses it, but a save cut off by the test's hook ends there: the
// journal's end never runs, as in a process that died.
class CutOffJournal : public CBasicDialogTab::SaveGuard {
  public:
    explicit CutOffJournal(CApplyJournal& journal) : journal_(journal) {}
    std::string BeforeSave(const common::AreaDescriptor& area,
                           const registry::AreaCopy* asRead) override {
        return journal_.BeforeSave(area, asRead);
    }
    std::string AfterSave() override { return cut_ ? std::string() : journal_.AfterSave(); }
    bool cut_ = false;

  private:
    CApplyJournal& journal_;
};

class JournalFolder : public ::testing::Test {
  protected:
    // One folder per test: ctest runs several of them at once in the same temporary folder.
    JournalFolder() : folder_(fs::temp_directory_path() / ("vlx-apply-journal-" + TestName())) {}
    static std::string TestName() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }
    ~JournalFolder() override {
        CBasicDialogTab::SetSaveGuard(nullptr);
        registry::SetRegistryWriteHook({});
        registry::SetJournalWriteFault({});
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

class JournalledApply : public JournalFolder, public ::testing::WithParamInterface<std::size_t> {};

// Each page's cut points in kParts tests (every kParts-th cut each), so each stays well inside
// the time limit of one test under Wine, where every registry call is a round trip to the
// wineserver: the Methods page alone has 680.
constexpr std::size_t kParts = 4;

TEST_P(JournalledApply, ASaveCutOffAfterAnyOfItsChangesIsPutBackByTheStartUp) {
    const std::string sample = SampleText();
    const PageTable& table = DefaultPageTable();
    const std::size_t part = GetParam() % kParts;
    ASSERT_LT(GetParam() / kParts, table.size());
    {
        const PageEntry& entry = table[GetParam() / kParts];
        SCOPED_TRACE(entry.label);
        ASSERT_NE(entry.area, nullptr);
        const std::vector<std::string> keys = Keys(entry);
        std::string reset;  // the page's areas back as they are in the sample
        for (const std::string& key : keys)
            reset += "[-HKEY_LOCAL_MACHINE\\" + key + "]\r\n";
        reset += OnlyKeys(sample, keys);

        testsupport::PageHarness h(sample);
        h.Ui().SetDefaultAnswer(fw::MsgAnswer::Ok);  // what a page says of refused writes
        ASSERT_TRUE(testsupport::ChangeEveryValue(keys));
        h.CreatePage(entry);
        h.Seed(reset);
        const std::string old = Areas(h, keys);

        fs::remove_all(folder_);
        CApplyJournal journal(folder_.string());
        CutOffJournal guard(journal);
        CBasicDialogTab::SetSaveGuard(&guard);

        unsigned long calls = 0;
        registry::SetRegistryWriteHook([&calls](unsigned long call) -> LONG {
            calls = call;
            return ERROR_SUCCESS;
        });
        h.Apply();
        registry::SetRegistryWriteHook({});
        const std::string saved = Areas(h, keys);
        EXPECT_NE(saved, old);
        ASSERT_GT(calls, 0u);
        RecordProperty("cut_points", std::to_string(calls));
        std::printf("%s: %lu cut points, part %zu of %zu\n", entry.label.c_str(), calls, part + 1,
                    kParts);
        EXPECT_FALSE(journal.Journal().Pending().has_value());
        ASSERT_EQ(journal.Journal().Backups(entry.label).size(), 1u);

        // Each recovery below must give back exactly the old area, so each next cut starts from
        // it again without seeding it anew.
        h.Seed(reset);
        for (unsigned long cut = part; cut < calls; cut += kParts) {
            SCOPED_TRACE("cut after change " + std::to_string(cut) + " of " +
                         std::to_string(calls));
            registry::SetRegistryWriteHook([cut](unsigned long call) -> LONG {
                return call > cut ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
            });
            guard.cut_ = true;
            h.Apply();
            guard.cut_ = false;
            registry::SetRegistryWriteHook({});
            ASSERT_TRUE(journal.Journal().Pending().has_value());

            h.Ui().ClearMessages();
            h.Ui().Answer(fw::MsgAnswer::Yes);
            {
                registry::RegistryBatch batch;
                journal.OfferRecovery(DefaultPageTable());
            }
            ASSERT_EQ(h.Ui().Messages().size(), 1u);
            EXPECT_NE(h.Ui().Messages()[0].text.find("\"" + entry.label + "\""), std::string::npos)
                << h.Ui().Messages()[0].text;
            ASSERT_EQ(Areas(h, keys), old);
            EXPECT_FALSE(journal.Journal().Pending().has_value());
        }
        // And once more to its end: exactly the new area.
        h.Seed(reset);
        h.Apply();
        EXPECT_EQ(Areas(h, keys), saved);
        CBasicDialogTab::SetSaveGuard(nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPage, JournalledApply,
                         ::testing::Range<std::size_t>(0, DefaultPageTable().size() * kParts));

// A journal that cannot be written (its folder cannot be made; the disk full, or turned
// read-only, halfway through the file) stops the "&Apply" with the reason before anything
// changes, and leaves no journal behind.
TEST_F(JournalFolder, AJournalThatCannotBeWrittenStopsTheApplyWithTheReasonAndChangesNothing) {
    struct Case {
        const char* name;
        int fault;  // 0: a file stands where the journal folder would be made
        std::string reason;
    };
#ifdef _WIN32
    // The system's own words, which Wine and Windows choose differently ("Disk full", "There is
    // not enough space on the disk.").
    const auto said = [](DWORD code) {
        char text[512] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       text, sizeof text, nullptr);
        std::string words(text);
        words.erase(words.find_last_not_of(".\r\n ") + 1);
        return words;
    };
    const Case cases[] = {{"folder in the way", 0, "Cannot create the folder"},
                          {"disk full", ERROR_DISK_FULL, said(ERROR_DISK_FULL)},
                          {"read-only", ERROR_WRITE_PROTECT, said(ERROR_WRITE_PROTECT)}};
#else
    const Case cases[] = {{"folder in the way", 0, "Cannot create the folder"},
                          {"disk full", ENOSPC, std::strerror(ENOSPC)},
                          {"read-only", EROFS, std::strerror(EROFS)}};
#endif
    const PageEntry& entry = DefaultPageTable().at(1);
    const std::vector<std::string> keys = Keys(entry);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.reason.empty());
        fs::remove_all(folder_);
        if (c.fault == 0) {
            fs::create_directories(folder_);
            std::ofstream(folder_ / "journal") << "in the way";
        }
        registry::SetJournalWriteFault([&c] { return c.fault; });
        testsupport::PageHarness h(SampleText());
        h.CreatePage(entry);
        // Behind the page's back, so its save would change the area.
        ASSERT_TRUE(testsupport::ChangeEveryValue(keys));
        const std::string before = Areas(h, keys);
        CApplyJournal journal(folder_.string());
        CBasicDialogTab::SetSaveGuard(&journal);
        h.Ui().Answer(fw::MsgAnswer::Ok);
        h.Apply();
        CBasicDialogTab::SetSaveGuard(nullptr);
        ASSERT_EQ(h.Ui().Messages().size(), 1u);
        const std::string& shown = h.Ui().Messages()[0].text;
        EXPECT_NE(shown.find(c.reason), std::string::npos) << shown;
        EXPECT_NE(shown.find("Nothing was changed."), std::string::npos) << shown;
        EXPECT_EQ(Areas(h, keys), before);
        EXPECT_FALSE(journal.Journal().Pending().has_value());
        std::error_code ignored;
        for (const auto& file : fs::directory_iterator(journal.Journal().JournalFolder(), ignored))
            ADD_FAILURE() << "left in the journal folder: " << file.path().string();
    }
}

}  // namespace

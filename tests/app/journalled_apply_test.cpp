// "&Apply" inside the journal of its area: a save cut off after any of its registry changes,
// as a crash would cut it (nothing after the cut runs, not even the journal's end), leaves a
// journal from which the start-up puts the area back exactly as it was; a save that runs to its
// end leaves exactly the new area and a backup. Every page of the program on the sample.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/apply_journal.h"
#include "app/page_table.h"
#include "framework/ui_service.h"
#include "registry/key_snapshot.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/write_hook.h"
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

// Every number in the areas one higher, every text one character longer and every value named
// by a path renamed, so the page loads a state other than the one its save will overwrite.
void ChangeNumbers(registry::KeySnapshot& key) {
    for (registry::RegValue& value : key.values) {
        if (value.type == REG_DWORD && value.data.size() == 4)
            value.data[0] = static_cast<uint8_t>(value.data[0] + 1);
        if (value.type == REG_SZ && value.data.size() > 1 && value.data.back() == 0)
            value.data.insert(value.data.end() - 1, '1');
        if (value.name.find('\\') != std::string::npos)
            value.name += "1";
    }
    for (registry::KeySnapshot& subkey : key.subkeys)
        ChangeNumbers(subkey);
}

void ChangeNumbers(const std::vector<std::string>& keys) {
    registry::RegistryBatch batch;
    for (const std::string& path : keys) {
        RegistryKey key;
        registry::KeySnapshot snapshot;
        if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS)
            continue;
        ASSERT_EQ(registry::ReadKeySnapshot(key, &snapshot), ERROR_SUCCESS);
        key.Close();
        ChangeNumbers(snapshot);
        ASSERT_EQ(registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, path, snapshot), ERROR_SUCCESS);
    }
}

// The journal as the program uses it, but a save cut off by the test's hook ends there: the
// journal's end never runs, as in a process that died.
class CutOffJournal : public CBasicDialogTab::SaveGuard {
  public:
    explicit CutOffJournal(CApplyJournal& journal) : journal_(journal) {}
    std::string BeforeSave(const common::AreaDescriptor& area) override {
        return journal_.BeforeSave(area);
    }
    std::string AfterSave() override { return cut_ ? std::string() : journal_.AfterSave(); }
    bool cut_ = false;

  private:
    CApplyJournal& journal_;
};

class JournalledApply : public ::testing::Test {
  protected:
    JournalledApply()
        : folder_(fs::temp_directory_path() /
                  ("vlx-apply-journal-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()))) {}
    ~JournalledApply() override {
        CBasicDialogTab::SetSaveGuard(nullptr);
        registry::SetRegistryWriteHook({});
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

TEST_F(JournalledApply, ASaveCutOffAfterAnyOfItsChangesIsPutBackByTheStartUp) {
    const std::string sample = SampleText();
    unsigned long total = 0;
    for (const PageEntry& entry : DefaultPageTable()) {
        SCOPED_TRACE(entry.label);
        ASSERT_NE(entry.area, nullptr);
        const std::vector<std::string> keys = Keys(entry);
        std::string reset;  // the page's areas back as they are in the sample
        for (const std::string& key : keys)
            reset += "[-HKEY_LOCAL_MACHINE\\" + key + "]\r\n";
        reset += OnlyKeys(sample, keys);

        testsupport::PageHarness h(sample);
        h.Ui().SetDefaultAnswer(fw::MsgAnswer::Ok);  // what a page says of refused writes
        ChangeNumbers(keys);
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
        RecordProperty(entry.label, std::to_string(calls));
        total += calls;
        EXPECT_FALSE(journal.Journal().Pending().has_value());
        ASSERT_EQ(journal.Journal().Backups(entry.label).size(), 1u);

        for (unsigned long cut = 0; cut < calls; ++cut) {
            SCOPED_TRACE("cut after change " + std::to_string(cut) + " of " +
                         std::to_string(calls));
            h.Seed(reset);
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
    std::printf("cut points: %lu\n", total);
}

}  // namespace

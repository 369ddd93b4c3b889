// Another program changing the registry file without the lock while a program applies a page:
// at each moment between the writer's last look at the file and the replace that puts its new
// file in place, made to happen on purpose through the store's write-stage hook, the other
// program's change is kept and the user's apply is refused with a message, then goes through on
// the next "&Apply" with both changes; a change made after the replace into the replaced file is
// one the other program can see went nowhere. Also: a write that fails while the program runs is
// shown to the user and keeps the old file. (The same with programs racing each other for a
// given time is the soak run: make soak.)

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "app/page_table.h"
#include "app/store_errors.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "pages/history/history_registry.h"
#include "registry/file_store.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "resources/templates/template_139.h"
#include "tests/app/other_program.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace {

using otherprogram::ReadFile;
using Stage = registry::FileStore::WriteStage;

constexpr int kHistoryTab = 7;
const char kTheirKey[] = "Software\\VORNA Customer\\Other";
const char kCountLine[] = "\"Count\"=dword:00000000";

// The other program's change: its "Count" from 0 to 1, made to the file `path` without the lock.
// The store sees each: a replaced file by its identity, a grown one by its size, one changed in
// place by its modification time, or, when that time is recent enough that a change within its
// tick cannot move it (a real write always sets it to the moment of writing), by its bytes.
enum class Meddling {
    InPlace,          // the digits overwritten in place (the file's times move)
    InPlaceSameTime,  // the same within the clock tick of the file's last change: times unchanged
    Grown,            // the file rewritten in place with a value more (its size changes)
    Replaced,         // a new file renamed over it, as an editor saves
};

void Meddle(const std::string& path, Meddling how) {
    std::string bytes = ReadFile(path);
    const size_t at = bytes.find(kCountLine);
    ASSERT_NE(at, std::string::npos);
    bytes[at + std::strlen(kCountLine) - 1] = '1';
    if (how == Meddling::Grown)
        bytes.insert(at + std::strlen(kCountLine), "\r\n\"Grown\"=dword:00000001");
    if (how == Meddling::Replaced) {
        std::ofstream(path + ".new", std::ios::binary) << bytes;
        ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
        return;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | (how == Meddling::Grown ? O_TRUNC : 0));
    ASSERT_GE(fd, 0);
    struct stat before {};
    ASSERT_EQ(::fstat(fd, &before), 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    if (how == Meddling::InPlaceSameTime) {
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::futimens(fd, times), 0);
    }
    ::close(fd);
}

// The sample with the other program's key, bound as the store.
struct SharedFile {
    testsupport::TempRegistry reg;
    explicit SharedFile(const std::string& seed)
        : reg(seed + "[HKEY_LOCAL_MACHINE\\" + kTheirKey + "]\r\n\"Count\"=dword:00000000\r\n") {}
    // The file's times set to this moment, as if it had just been changed (a change within
    // the same clock tick needs a last change that recent).
    void Touch() const { ::utimensat(AT_FDCWD, reg.FilePath().c_str(), nullptr, 0); }
    std::string Theirs() const {
        return otherprogram::ReadValue(reg.FilePath(), kTheirKey, "Count");
    }
    std::string Ours() const {
        return otherprogram::ReadValue(reg.FilePath(), history::kArchiveKeyPath,
                                       history::kHistoryPathValue);
    }
};

const std::string kOne("\1\0\0\0", 4);

// Each moment between the writer's last look and the replace, each way of changing the file: the
// apply is refused with the message and writes nothing, the other program's change stays; the
// next apply reads the file again and writes the user's change beside it.
TEST(ConcurrentUse, AChangeBehindTheLockIsNeverUndoneAndTheNextApplyKeepsBoth) {
    const std::string seed = ReadFile(VLX_SAMPLE_FILE);
    for (Stage stage : {Stage::Backup, Stage::Write, Stage::Sync, Stage::Rename}) {
        for (Meddling how :
             {Meddling::InPlace, Meddling::InPlaceSameTime, Meddling::Grown, Meddling::Replaced}) {
            SCOPED_TRACE("stage " + std::to_string(static_cast<int>(stage)) + ", meddling " +
                         std::to_string(static_cast<int>(how)));
            SharedFile file(seed);
            const std::string oursBefore = file.Ours();
            int meddled = 0;
            registry::BoundFileStore()->SetWriteFaultHook([&](Stage s) {
                if (s == stage && meddled++ == 0)
                    Meddle(file.reg.FilePath(), how);
                return 0;
            });
            app::InstallRegistryCommandScope();
            uikit::UiRecorder ui;
            ui.SetDefaultAnswer(fw::MsgAnswer::Ok);
            testsupport::RunMainWindow(ui, DefaultPageTable(), [&](CVlxConfiguratorDlg& main) {
                uikit::ClickTab(main, 1000, kHistoryTab);
                CBasicDialogTab& page = *main.Page(kHistoryTab);
                uikit::TypeText(page, res::t139::kHistoryPath, "D:\\Elsewhere");
                file.Touch();
                uikit::Click(page, 1015);
                ASSERT_EQ(meddled, 1) << "the stage never came";
                ASSERT_EQ(ui.Messages().size(), 1u);
                EXPECT_EQ(ui.Messages()[0].icon, fw::MsgIcon::Error);
                EXPECT_NE(ui.Messages()[0].text.find("another program changed the registry file"),
                          std::string::npos)
                    << ui.Messages()[0].text;
                EXPECT_EQ(file.Theirs(), kOne);
                EXPECT_EQ(file.Ours(), oursBefore);
                uikit::Click(page, 1015);
                EXPECT_EQ(ui.Messages().size(), 1u) << ui.Messages().back().text;
            });
            app::RemoveRegistryCommandScope();
            EXPECT_EQ(file.Theirs(), kOne);
            EXPECT_EQ(file.Ours(), "D:\\Elsewhere");
            if (how == Meddling::Grown) {
                EXPECT_EQ(otherprogram::ReadValue(file.reg.FilePath(), kTheirKey, "Grown"), kOne);
            }
        }
    }
}

// The one moment no writer can see: the other program opened the file before the replace and
// writes into it after. Its change goes with the replaced file, and the other program can tell,
// since the file it wrote is no longer the registry file.
TEST(ConcurrentUse, AChangeIntoTheReplacedFileIsSeenGoneByTheProgramThatMadeIt) {
    SharedFile file(ReadFile(VLX_SAMPLE_FILE));
    int held = -1;
    registry::BoundFileStore()->SetWriteFaultHook([&](Stage s) {
        if (s == Stage::Rename && held < 0)
            held = ::open(file.reg.FilePath().c_str(), O_RDWR);
        return 0;
    });
    app::InstallRegistryCommandScope();
    uikit::UiRecorder ui;
    testsupport::RunMainWindow(ui, DefaultPageTable(), [&](CVlxConfiguratorDlg& main) {
        uikit::ClickTab(main, 1000, kHistoryTab);
        uikit::TypeText(*main.Page(kHistoryTab), res::t139::kHistoryPath, "D:\\Elsewhere");
        uikit::Click(*main.Page(kHistoryTab), 1015);
    });
    app::RemoveRegistryCommandScope();
    ASSERT_GE(held, 0);
    std::string bytes(static_cast<size_t>(::lseek(held, 0, SEEK_END)), '\0');
    ASSERT_EQ(::pread(held, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    const size_t at = bytes.find(kCountLine);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(::pwrite(held, "1", 1, static_cast<off_t>(at + std::strlen(kCountLine) - 1)), 1);
    struct stat written {};
    ASSERT_EQ(::fstat(held, &written), 0);
    ::close(held);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(written.st_nlink, 0u) << "the file written is still the registry file";
    EXPECT_EQ(file.Ours(), "D:\\Elsewhere");
    EXPECT_EQ(file.Theirs(), std::string(4, '\0'));
}

// A write that fails while the program runs (the disk is full) is shown to the user with the
// file and the reason, and the file stays as it was.
TEST(ConcurrentUse, AFailedApplyIsShownAndKeepsTheFile) {
    testsupport::TempRegistry reg(ReadFile(VLX_SAMPLE_FILE));
    const std::string before = ReadFile(reg.FilePath());
    registry::BoundFileStore()->SetWriteFaultHook([](registry::FileStore::WriteStage s) {
        return s == registry::FileStore::WriteStage::Write ? ENOSPC : 0;
    });
    app::InstallRegistryCommandScope();
    uikit::UiRecorder ui;
    ui.SetDefaultAnswer(fw::MsgAnswer::Ok);
    testsupport::RunMainWindow(ui, DefaultPageTable(), [&](CVlxConfiguratorDlg& main) {
        uikit::ClickTab(main, 1000, kHistoryTab);
        uikit::TypeText(*main.Page(kHistoryTab), res::t139::kHistoryPath, "D:\\Elsewhere");
        uikit::Click(*main.Page(kHistoryTab), 1015);
    });
    app::RemoveRegistryCommandScope();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(ui.Messages()[0].text.find(reg.FilePath()), 0u) << ui.Messages()[0].text;
    EXPECT_NE(ui.Messages()[0].text.find(std::strerror(ENOSPC)), std::string::npos);
    EXPECT_TRUE(ReadFile(reg.FilePath()) == before);
}

}  // namespace

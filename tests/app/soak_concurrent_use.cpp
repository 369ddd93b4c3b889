// The soak run of programs sharing one registry file (make soak, not part of the test suite): two
// running programs, each applying its own page again and again for a given time, and a third
// changing the file behind their backs without the lock. No change of the two may be lost and the
// file is never missing or half-written; the figures say how often the third program's own
// change was undone. Each program is this binary started once more (SoakInstance, which does
// nothing when run on its own), driving the real main window.
//   VLX_SOAK_SECONDS=60 vlx_soak --gtest_filter=Soak.*

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "app/page_table.h"
#include "app/store_errors.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "pages/general/general_registry.h"
#include "pages/history/history_registry.h"
#include "registry/file_store.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "resources/templates/template_137.h"
#include "resources/templates/template_139.h"
#include "tests/app/other_program.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using otherprogram::ReadFile;

constexpr int kHistoryTab = 7;
constexpr int kGeneralTab = 8;
const char kRewriterKey[] = "[HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Rewriter]\r\n";
const char kCountLine[] = "\"Count\"=dword:";

std::string ReadText(const std::string& file, const char* keyPath, const char* name) {
    return otherprogram::ReadValue(file, keyPath, name);
}

// The number at the end of a path written by an instance ("D:\H17" is 17), -1 if none.
long Number(const std::string& path) {
    const size_t digits = path.find_last_not_of("0123456789");
    if (path.empty() || digits + 1 >= path.size())
        return -1;
    return std::stol(path.substr(digits + 1));
}

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

struct Side {
    const char* page;
    int tab;
    int edit;
    const char* prefix;
    const char* keyPath;
    const char* value;
};
const Side kSides[2] = {
    {"History", kHistoryTab, res::t139::kHistoryPath, "D:\\H", history::kArchiveKeyPath,
     history::kHistoryPathValue},
    {"General", kGeneralTab, res::t137::kMirrorPath, "D:\\M", general::kManagerFileKeyPath,
     general::kMirrorPathValue},
};

// One program: applies its page until the end of the run, each time with the next number, and
// checks after each that the file holds its number and that the other program's never went back.
TEST(SoakInstance, AppliesItsPageUntilTheEnd) {
    const char* file = std::getenv("VLX_SOAK_FILE");
    if (file == nullptr)
        GTEST_SKIP() << "started by Soak only";
    const int side = std::atoi(std::getenv("VLX_SOAK_SIDE"));
    const long long until = std::atoll(std::getenv("VLX_SOAK_UNTIL_MS"));
    const Side& mine = kSides[side];
    const Side& other = kSides[1 - side];
    ASSERT_EQ(registry::OpenFileStore(file), "");
    app::InstallRegistryCommandScope();
    uikit::UiRecorder ui;
    ui.SetDefaultAnswer(fw::MsgAnswer::Ok);
    int refused = 0;
    int applies = 0;
    testsupport::RunMainWindow(ui, DefaultPageTable(), [&](CVlxConfiguratorDlg& main) {
        uikit::ClickTab(main, 1000, mine.tab);
        CBasicDialogTab& page = *main.Page(mine.tab);
        long otherSeen = -1;
        for (int i = 1; NowMs() < until; ++i) {
            const std::string text = mine.prefix + std::to_string(i);
            uikit::TypeText(page, mine.edit, text);
            // A write the other programs made impossible is refused with a message; the
            // user applies again.
            for (int attempt = 0;; ++attempt) {
                ASSERT_LT(attempt, 1000) << "never written";
                const size_t shown = ui.Messages().size();
                uikit::Click(page, 1015);
                if (ui.Messages().size() == shown)
                    break;
                EXPECT_NE(ui.Messages().back().text.find("another program changed"),
                          std::string::npos)
                    << ui.Messages().back().text;
                ++refused;
            }
            ASSERT_EQ(ReadText(file, mine.keyPath, mine.value), text) << "apply " << i;
            const long seen = Number(ReadText(file, other.keyPath, other.value));
            ASSERT_GE(seen, otherSeen) << "the other program's change was lost";
            otherSeen = seen;
            applies = i;
        }
    });
    app::RemoveRegistryCommandScope();
    registry::CloseFileStore();
    std::printf("soak: %s page applied %d times, %d writes refused (the file had changed)\n",
                mine.page, applies, refused);
}

pid_t StartInstance(const std::string& file, int side, long long until) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<std::string> env = {
        "VLX_SOAK_FILE=" + file, "VLX_SOAK_SIDE=" + std::to_string(side),
        "VLX_SOAK_UNTIL_MS=" + std::to_string(until), "QT_QPA_PLATFORM=offscreen"};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "VLX_SOAK_", 9) != 0 && std::strncmp(*e, "QT_QPA_", 7) != 0)
            env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string filter = "--gtest_filter=SoakInstance.*";
    std::string brief = "--gtest_brief=1";
    char* argv[] = {const_cast<char*>(self.c_str()), filter.data(), brief.data(), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    return pid;
}

// The third program: changes its own number in place, or rewrites the file's bytes unchanged,
// without the lock, and checks each time that the file is whole and its last number still there.
struct Rewriter {
    std::atomic<bool> stop{false};
    int rewrites = 0;
    int lost = 0;          // its change undone by a program that had seen it
    int writtenAside = 0;  // its change written into a file being replaced at that moment
    int broken = 0;
    int glimpsed = 0;  // its change seen missing at a first look
    static constexpr std::chrono::milliseconds kSettle{500};
    std::chrono::steady_clock::time_point mismatchSince;

    void Run(const std::string& file, size_t minimumSize) {
        unsigned count = 0;
        bool aside = false;
        bool recheck = false;
        std::minstd_rand random(20261208);
        auto burstEnd = std::chrono::steady_clock::now();
        while (!stop) {
            // Rewrites come in bursts, one every 3 ms, with quiet spells between them: a write
            // that takes longer than 3 ms (a slow disk's fsync) would otherwise be refused
            // again and again, and the programs could never apply at all.
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            if (std::chrono::steady_clock::now() >= burstEnd) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50 + random() % 200));
                burstEnd = std::chrono::steady_clock::now() +
                           std::chrono::milliseconds(20 + random() % 80);
            }
            const int fd = ::open(file.c_str(), O_RDWR);
            if (fd < 0) {
                ++broken;
                continue;
            }
            std::string bytes(1 << 20, '\0');
            const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
            bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
            const size_t key = bytes.find(kRewriterKey);
            const size_t at = key == std::string::npos ? key : bytes.find(kCountLine, key);
            if (bytes.size() < minimumSize || at == std::string::npos) {
                ++broken;
                ::close(fd);
                continue;
            }
            const size_t digits = at + std::strlen(kCountLine);
            const unsigned found = std::stoul(bytes.substr(digits, 8), nullptr, 16);
            // A change written into a file that a program was just replacing went with the
            // replaced file: the risk of writing without the lock, which the writer can see.
            if (found != count && !(aside && found + 1 == count)) {
                // A store that found the file changed at the last moment puts it back at once,
                // but a busy machine may hold it off for a while; what counts is what the file
                // holds once it has, so the same sight must stay for a settling time.
                const auto now = std::chrono::steady_clock::now();
                if (!recheck) {
                    recheck = true;
                    mismatchSince = now;
                    ++glimpsed;
                    ::close(fd);
                    continue;
                }
                if (now - mismatchSince < kSettle) {
                    ::close(fd);
                    continue;
                }
                ++lost;
            }
            recheck = false;
            count = found;
            aside = false;
            if (rewrites % 3 == 2) {
                // The same bytes once more, in pieces.
                for (size_t off = 0; off < bytes.size(); off += 4096)
                    ::pwrite(fd, bytes.data() + off, std::min<size_t>(4096, bytes.size() - off),
                             static_cast<off_t>(off));
            } else {
                char number[9];
                std::snprintf(number, sizeof number, "%08x", ++count);
                ::pwrite(fd, number, 8, static_cast<off_t>(digits));
                struct stat written {};
                struct stat current {};
                aside = ::fstat(fd, &written) != 0 || ::stat(file.c_str(), &current) != 0 ||
                        written.st_nlink == 0 || written.st_ino != current.st_ino;
                writtenAside += aside;
            }
            ::close(fd);
            ++rewrites;
        }
    }
};

TEST(Soak, TwoProgramsLoseNothingAndAnUnlockedRewriterNeverBreaksTheFile) {
    const char* secondsText = std::getenv("VLX_SOAK_SECONDS");
    const int seconds = secondsText ? std::atoi(secondsText) : 60;
    ASSERT_GT(seconds, 0);
    const std::string dir = (fs::temp_directory_path() / "vlx-soak-XXXXXX").string();
    std::string tmpl = dir;
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const std::string file = tmpl + "/registry.reg";
    {
        // The sample as the store writes it, plus the third program's key.
        std::ofstream(file, std::ios::binary) << ReadFile(VLX_SAMPLE_FILE);
        ASSERT_EQ(registry::OpenFileStore(file), "");
        RegistryKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\VORNA Customer\\Rewriter"), 0);
        ASSERT_EQ(key.SetNumber("Count", 0), 0);
        key.Close();
        registry::CloseFileStore();
    }
    const size_t minimumSize = ReadFile(file).size() * 9 / 10;
    const long long until = NowMs() + seconds * 1000LL;
    Rewriter rewriter;
    std::thread third([&] { rewriter.Run(file, minimumSize); });
    const pid_t a = StartInstance(file, 0, until);
    const pid_t b = StartInstance(file, 1, until);
    int statusA = 0, statusB = 0;
    ::waitpid(a, &statusA, 0);
    ::waitpid(b, &statusB, 0);
    rewriter.stop = true;
    third.join();
    EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0) << statusA;
    EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0) << statusB;
    EXPECT_GT(rewriter.rewrites, 0);
    EXPECT_EQ(rewriter.broken, 0) << "the file was missing or half-written";
    const long history = Number(ReadText(file, kSides[0].keyPath, kSides[0].value));
    const long general = Number(ReadText(file, kSides[1].keyPath, kSides[1].value));
    EXPECT_GT(history, 0);
    EXPECT_GT(general, 0);
    // A program that ignores the lock can have a change undone when it writes at a moment no
    // writer can see (see ConcurrentUse.AChangeBehindTheLock...); the store puts back every
    // change it does see, which keeps such losses rare.
    EXPECT_LE(rewriter.lost * 100, rewriter.rewrites)
        << "more than one in a hundred of the third program's changes were undone";
    std::printf(
        "soak: %d s, applies: %ld (History %ld, General %ld), unlocked rewrites: %d (%d written "
        "into a file being replaced, %d seen undone for a moment, %d undone), broken: %d\n",
        seconds, history + general, history, general, rewriter.rewrites, rewriter.writtenAside,
        rewriter.glimpsed, rewriter.lost, rewriter.broken);
    fs::remove_all(tmpl);
}

}  // namespace

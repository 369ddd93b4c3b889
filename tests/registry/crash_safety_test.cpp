// The file survives what happens to a writing program: killed (SIGKILL) at any point of a
// write, a full disk, a folder that turned read-only. Afterwards the file is always the old or
// the new content whole, it loads, and a failed write says so and keeps the old file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "registry/file_store.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "tests/support/reg_model.h"

namespace {

namespace fs = std::filesystem;
using registry::FileStore;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string GenLine(DWORD generation) {
    char line[40];
    std::snprintf(line, sizeof line, "\"Gen\"=dword:%08x", generation);
    return line;
}

// About 1.5 MB as the store writes it, generation 0.
std::string BigFile() {
    std::string text =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Gen]\r\n" + GenLine(0) + "\r\n\r\n";
    for (int i = 0; i < 8000; ++i) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\Big\\K" + std::to_string(100000 + i) + "]\r\n";
        text += "\"Text\"=\"value number " + std::to_string(i) + " of the big configuration\"\r\n";
        text += "\"Number\"=dword:" + std::string(8, "0123456789abcdef"[i % 16]) + "\r\n";
        text +=
            "\"Bytes\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15\r\n\r\n";
    }
    registry::RegDocument doc;
    EXPECT_EQ(registry::ParseRegText(text, "big.reg", &doc), "");
    auto tree = std::make_unique<registry::RegTree>();
    registry::ApplyRegEntries(doc.entries, tree.get());
    return registry::WriteRegText(*tree, doc.format);
}

// The file is the original with some generation; returns it, or -1.
long Generation(const std::string& bytes, const std::string& original) {
    const std::string zero = GenLine(0);
    const size_t at = original.find(zero);
    if (bytes.size() != original.size() || bytes.compare(0, at, original, 0, at) != 0 ||
        bytes.compare(at + zero.size(), std::string::npos, original, at + zero.size()) != 0)
        return -1;
    return std::stol(bytes.substr(at + zero.size() - 8, 8), nullptr, 16);
}

LONG SetGeneration(DWORD generation) {
    RegistryKey key;
    if (LONG r = key.Open(HKEY_LOCAL_MACHINE, "Software\\Gen"))
        return r;
    return key.SetNumber("Gen", generation);
}

std::string TempFolder(const char* name) {
    std::string tmpl = (fs::temp_directory_path() / name).string() + "-XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr)
        return {};
    return tmpl;
}

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A child that opens the file and writes generation after generation until it is killed;
// `stage`, when given, makes it kill itself at that stage of its `at`-th write instead.
pid_t StartWriter(const std::string& file, int readyPipe, int stage = -1, int at = 0) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (registry::OpenFileStore(file) != "")
        ::_exit(3);
    DWORD generation = static_cast<DWORD>(::getpid()) & 0xFFFF;
    int writes = 0;
    if (stage >= 0) {
        registry::BoundFileStore()->SetWriteFaultHook([&](FileStore::WriteStage s) {
            if (static_cast<int>(s) == stage && writes == at)
                ::kill(::getpid(), SIGKILL);
            return 0;
        });
    }
    ::alarm(20);  // a writer the test forgot ends all the same
    const char ready = 1;
    if (::write(readyPipe, &ready, 1) != 1)
        ::_exit(4);
    for (;; ++writes)
        if (SetGeneration(++generation << 8) != ERROR_SUCCESS)
            ::_exit(5);
}

class CrashSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = TempFolder("vlx-crash");
        ASSERT_FALSE(dir_.empty());
        file_ = dir_ + "/registry.reg";
        original_ = BigFile();
        WriteFile(file_, original_);
    }
    void TearDown() override {
        registry::CloseFileStore();
        fs::remove_all(dir_);
    }

    // Kills a writer and checks what it left: the file and its backup whole, a generation the
    // writer wrote (or the one before it), and loading cleanly.
    void KillAndCheck(int stage, int at, std::chrono::microseconds delay, long* lastSeen) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = StartWriter(file_, fds[1], stage, at);
        char ready = 0;
        ASSERT_EQ(::read(fds[0], &ready, 1), 1) << "the writer did not start";
        ::close(fds[0]);
        ::close(fds[1]);
        if (stage < 0) {
            std::this_thread::sleep_for(delay);
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

        const long generation = Generation(ReadFile(file_), original_);
        ASSERT_GE(generation, 0) << "the file is neither the old nor the new content";
        EXPECT_TRUE(generation == *lastSeen || (generation >> 8 & 0xFFFF) > 0);
        *lastSeen = generation;
        if (fs::exists(file_ + ".bak")) {
            EXPECT_GE(Generation(ReadFile(file_ + ".bak"), original_), 0) << "the backup is whole";
        }
        std::string error;
        EXPECT_NE(FileStore::Open(file_, &error), nullptr) << error;
    }

    std::string dir_;
    std::string file_;
    std::string original_;
};

TEST_F(CrashSafety, AWriterKilledAnywhereLeavesTheOldOrTheNewFileWhole) {
    // How long one write takes here, to spread the kills over whole writes.
    ASSERT_EQ(registry::OpenFileStore(file_), "");
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(SetGeneration(i), ERROR_SUCCESS);
    const auto perWrite = (std::chrono::steady_clock::now() - start) / 3;
    registry::CloseFileStore();

    long lastSeen = 3;
    int points = 0;
    // At each stage of a write, the first write of a session (with its backup) and a later one.
    for (int stage = 0; stage < 4; ++stage) {
        for (int at : {0, 2}) {
            if (stage == static_cast<int>(FileStore::WriteStage::Backup) && at > 0)
                continue;  // only a session's first write keeps a backup
            SCOPED_TRACE("stage " + std::to_string(stage) + " of write " + std::to_string(at));
            KillAndCheck(stage, at, {}, &lastSeen);
            ++points;
        }
    }
    // At moments spread over several writes.
    std::mt19937 random(15);
    for (int i = 0; i < 40; ++i) {
        const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(
            perWrite * (random() % 3000) / 1000);
        SCOPED_TRACE("after " + std::to_string(delay.count()) + " us");
        KillAndCheck(-1, 0, delay, &lastSeen);
        ++points;
    }
    RecordProperty("kill_points", points);

    // The next write clears what the killed writers left behind.
    ASSERT_EQ(registry::OpenFileStore(file_), "");
    ASSERT_EQ(SetGeneration(7), ERROR_SUCCESS);
    EXPECT_EQ(Generation(ReadFile(file_), original_), 7);
    EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"registry.reg", "registry.reg.bak"}));
}

// A failed write is reported with the file and the reason, and the file stays as it was.
void ExpectRefusedWrite(const std::string& file, const std::string& reason) {
    const std::string before = ReadFile(file);
    ASSERT_EQ(registry::OpenFileStore(file), "");
    EXPECT_NE(SetGeneration(9), ERROR_SUCCESS);
    const std::string error = registry::TakeStoreError();
    EXPECT_EQ(error.find(file), 0u) << error;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    EXPECT_TRUE(ReadFile(file) == before);
    registry::CloseFileStore();
    std::string openError;
    EXPECT_NE(FileStore::Open(file, &openError), nullptr) << openError;
}

TEST_F(CrashSafety, AFullDiskFailsTheWriteAndKeepsTheOldFile) {
    // A real full disk where this test may mount a small tmpfs; a write failing as one would
    // elsewhere.
    const std::string disk = dir_ + "/disk";
    fs::create_directory(disk);
    const bool mounted = ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=8m") == 0;
    const std::string file = disk + "/registry.reg";
    WriteFile(file, original_);
    if (mounted) {
        // What is left is enough for the backup but not for the new file.
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const size_t room = 8u << 20;
        filler << std::string(room - 2 * original_.size() - (original_.size() / 2), 'f');
    } else {
        ASSERT_EQ(registry::OpenFileStore(file), "");
        registry::BoundFileStore()->SetWriteFaultHook(
            [](FileStore::WriteStage s) { return s == FileStore::WriteStage::Write ? ENOSPC : 0; });
    }
    if (mounted) {
        ExpectRefusedWrite(file, std::strerror(ENOSPC));
        EXPECT_EQ(Entries(disk),
                  (std::vector<std::string>{"filler", "registry.reg", "registry.reg.bak"}))
            << "no half-written file left";
        // Room again: the same write goes through.
        fs::remove(disk + "/filler");
        ASSERT_EQ(registry::OpenFileStore(file), "");
        EXPECT_EQ(SetGeneration(9), ERROR_SUCCESS);
        EXPECT_EQ(Generation(ReadFile(file), original_), 9);
        registry::CloseFileStore();
        ::umount(disk.c_str());
    } else {
        EXPECT_NE(SetGeneration(9), ERROR_SUCCESS);
        EXPECT_NE(registry::TakeStoreError().find(std::strerror(ENOSPC)), std::string::npos);
        EXPECT_EQ(Generation(ReadFile(file), original_), 0);
    }
}

TEST_F(CrashSafety, AFolderTurnedReadOnlyRefusesWritesAndKeepsTheFile) {
    // The folder is made read-only under a running store: as a read-only mount where this test
    // may mount, otherwise by its permissions (which bind everyone but the superuser).
    const std::string folder = dir_ + "/ro";
    fs::create_directory(folder);
    const std::string file = folder + "/registry.reg";
    WriteFile(file, original_);
    ASSERT_EQ(registry::OpenFileStore(file), "");
    bool mounted = ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (mounted &&
        ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ::umount(folder.c_str());
        mounted = false;
    }
    if (!mounted && ::geteuid() == 0)
        GTEST_SKIP() << "neither a read-only mount nor permissions can bind the superuser here";
    if (!mounted)
        ::chmod(folder.c_str(), 0555);
    // Opening for writing is refused, as the file could not be replaced.
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Gen", 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Gen", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    // Writing anyway fails at the write, which says why.
    registry::CloseFileStore();
    EXPECT_EQ(Generation(ReadFile(file), original_), 0);
    if (mounted)
        ::umount(folder.c_str());
    else
        ::chmod(folder.c_str(), 0755);
}

}  // namespace

// The .reg file store itself: the file on disk, batches, locking, read-only files, failed
// writes and two programs on one file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "registry/file_store.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "tests/support/reg_model.h"
#include "tests/support/registry_fixture.h"

namespace {

namespace fs = std::filesystem;
using registry::FileStore;
using testsupport::TempRegistry;

const char kSeed[] =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Area]\r\n"
    "\"Text\"=\"abc\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Area\\Child]\r\n"
    "\r\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::string> FolderEntries(const std::string& file) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(file).parent_path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

LONG SetNumber(HKEY root, const char* path, const char* name, DWORD value) {
    RegistryKey key;
    if (LONG r = key.Create(root, path))
        return r;
    return key.SetNumber(name, value);
}

// ---- Opening ----

TEST(FileStoreOpen, MissingFileIsAnErrorNamingIt) {
    const std::string path = (fs::temp_directory_path() / "vlx-no-such-dir" / "x.reg").string();
    std::string err = registry::OpenFileStore(path);
    EXPECT_NE(err.find(path), std::string::npos) << err;
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(FileStoreOpen, MalformedFileIsRefusedAndNeverTouched) {
    TempRegistry reg(kSeed);
    const std::string path = reg.FilePath();
    const std::string bad = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=dword:zz\r\n";
    WriteFile(path, bad);
    registry::CloseFileStore();
    std::string err = registry::OpenFileStore(path);
    EXPECT_NE(err.find(path + ", line 3:"), std::string::npos) << err;
    EXPECT_EQ(ReadFile(path), bad);
    EXPECT_EQ(FolderEntries(path), std::vector<std::string>{"registry.reg"});
}

TEST(FileStoreOpen, AFileTurnedMalformedLaterFailsCallsAndStaysUntouched) {
    TempRegistry reg(kSeed);
    const std::string bad = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=hex:1\r\n  2\r\n";
    WriteFile(reg.FilePath(), bad);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\New", 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
              ERROR_BADDB);
    EXPECT_NE(registry::TakeStoreError().find("line 4"), std::string::npos);
    EXPECT_EQ(registry::TakeStoreError(), "") << "taking the error clears it";
    EXPECT_EQ(ReadFile(reg.FilePath()), bad);
    // Repaired, it is read again.
    WriteFile(reg.FilePath(), kSeed);
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"));
}

// ---- Values as stored ----

TEST(FileStoreValues, AStringWithoutItsZeroIsNoStringAndAMissingValueLeavesTypeAlone) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\K]\n\"NoZero\"=hex(1):61,62,63\n");
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, "K"), ERROR_SUCCESS);
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    DWORD count = sizeof buffer;
    EXPECT_EQ(key.QueryString("NoZero", buffer, &count), ERROR_INVALID_DATA);
    EXPECT_STREQ(buffer, "");
    // The bytes come back exactly as stored, no zero added.
    DWORD type = 0;
    BYTE data[8];
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, "NoZero", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(type, REG_SZ);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "NoZero", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u) << "the exact size, not a conversion estimate";

    type = 77;
    size = 5;
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, data, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 77u);
    EXPECT_EQ(size, 5u);
    // RegQueryValueA hands out the unnamed value as stored, like the system: no zero added, and
    // any type (registry_path_test.cpp checks the same on both platforms).
    ASSERT_EQ(RegistryKey().Create(HKEY_LOCAL_MACHINE, "K\\Sub"), ERROR_SUCCESS);
    HKEY sub = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "K\\Sub", 0, KEY_ALL_ACCESS, &sub), ERROR_SUCCESS);
    const BYTE two[2] = {'4', '2'};
    ASSERT_EQ(RegSetValueExA(sub, "", 0, REG_SZ, two, 2), ERROR_SUCCESS);
    std::memset(buffer, 'x', sizeof buffer);
    LONG textSize = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(key, "Sub", buffer, &textSize), ERROR_SUCCESS);
    EXPECT_EQ(textSize, 2);
    EXPECT_EQ(std::string(buffer, 3), "42x");
    const BYTE number[4] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExA(sub, "", 0, REG_DWORD, number, 4), ERROR_SUCCESS);
    textSize = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(key, "Sub", buffer, &textSize), ERROR_SUCCESS);
    EXPECT_EQ(textSize, 4);
    RegCloseKey(sub);
}

// ---- The file on disk ----

TEST(FileStoreFile, WritesBackInTheFormatRead) {
    const std::string v5 = std::string("\xFF\xFE", 2) + [] {
        std::string out;
        for (char c : std::string("Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n"
                                  "\"T\"=\"caf\xe9\"\r\n"
                                  "\"E\"=hex(2):25,00,00,00\r\n")) {
            char16_t u = registry::Cp1252ToUnicode(static_cast<uint8_t>(c));
            out.push_back(static_cast<char>(u & 0xFF));
            out.push_back(static_cast<char>(u >> 8));
        }
        return out;
    }();
    TempRegistry reg(v5);
    EXPECT_EQ(registry::FileStoreFormat(), (registry::RegFileFormat{true, true}));
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\X", "N", 5), ERROR_SUCCESS);
    const std::string written = ReadFile(reg.FilePath());
    registry::RegDocument doc;
    ASSERT_EQ(registry::ParseRegText(written, "w", &doc), "");
    EXPECT_TRUE(doc.format.version5);
    EXPECT_TRUE(doc.format.utf16);
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, "Software\\X", "T")->second,
              (std::vector<uint8_t>{'c', 'a', 'f', 0xe9, 0}));
    EXPECT_EQ(reg.Value(HKEY_LOCAL_MACHINE, "Software\\X", "E")->second,
              (std::vector<uint8_t>{'%', 0}));

    TempRegistry reg4("[HKEY_LOCAL_MACHINE\\Software\\X]\n");
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\X", "N", 5), ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(reg4.FilePath()).substr(0, 10), "REGEDIT4\r\n");
}

TEST(FileStoreFile, KeepsTheFirstVersionAsBakAndLeavesNoTemporaryFiles) {
    TempRegistry reg(kSeed);
    const std::string original = ReadFile(reg.FilePath());
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\A", "n", 1), ERROR_SUCCESS);
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\A", "n", 2), ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(reg.FilePath() + ".bak"), original);
    EXPECT_EQ(FolderEntries(reg.FilePath()),
              (std::vector<std::string>{"registry.reg", "registry.reg.bak"}));
    EXPECT_NE(ReadFile(reg.FilePath()).find("\"n\"=dword:00000002"), std::string::npos);
}

TEST(FileStoreFile, WritesThroughASymbolicLinkToItsTarget) {
    TempRegistry reg(kSeed);
    const std::string link = reg.FilePath() + ".link";
    ASSERT_EQ(::symlink(reg.FilePath().c_str(), link.c_str()), 0);
    ASSERT_EQ(registry::OpenFileStore(link), "");
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\ViaLink", "n", 1), ERROR_SUCCESS);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(ReadFile(reg.FilePath()).find("ViaLink"), std::string::npos);
}

TEST(FileStoreFile, KeepsTheFilesPermissionsAndOwner) {
    TempRegistry reg(kSeed);
    ASSERT_EQ(::chmod(reg.FilePath().c_str(), 0640), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(reg.FilePath().c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\A", "n", 1), ERROR_SUCCESS);
    struct stat st {};
    ASSERT_EQ(::stat(reg.FilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    if (::geteuid() == 0) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

TEST(FileStoreFile, EnumeratesSubkeysInRegistryOrderAndValuesInFirstSetOrder) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\K]\n\"z\"=\"1\"\n\"A\"=\"2\"\n\"m\"=\"3\"\n");
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, "K"), ERROR_SUCCESS);
    for (const char* name : {"b", "_z", "A", "a_", "aB", "\xc4rger", "Zulu"}) {
        RegistryKey k;
        ASSERT_EQ(k.Create(key, name), ERROR_SUCCESS);
    }
    ASSERT_EQ(key.SetString("Z", "again"), ERROR_SUCCESS);  // an existing value keeps its place
    ASSERT_EQ(key.SetString("new", "4"), ERROR_SUCCESS);
    std::vector<std::string> keys, values;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr))
            break;
        keys.emplace_back(name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr))
            break;
        values.emplace_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"A", "aB", "a_", "b", "Zulu", "_z", "\xc4rger"}));
    EXPECT_EQ(values, (std::vector<std::string>{"z", "A", "m", "new"}));
}

TEST(FileStoreFile, EnumerationByIndexStaysRightWhileKeysChange) {
    TempRegistry reg(
        "[HKEY_LOCAL_MACHINE\\K\\b]\n[HKEY_LOCAL_MACHINE\\K\\d]\n"
        "[HKEY_LOCAL_MACHINE\\L\\x]\n");
    registry::RegistryBatch batch;  // enumeration positions are kept within a batch
    RegistryKey k, l;
    ASSERT_EQ(k.Open(HKEY_LOCAL_MACHINE, "K"), ERROR_SUCCESS);
    ASSERT_EQ(l.Open(HKEY_LOCAL_MACHINE, "L"), ERROR_SUCCESS);
    auto nameAt = [](HKEY key, DWORD index) {
        char name[32];
        DWORD size = sizeof name;
        LONG r = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        return r == ERROR_SUCCESS ? std::string(name) : "#" + std::to_string(r);
    };
    EXPECT_EQ(nameAt(k, 0), "b");
    EXPECT_EQ(nameAt(k, 1), "d");
    EXPECT_EQ(nameAt(l, 0), "x");
    EXPECT_EQ(nameAt(k, 1), "d");
    ASSERT_EQ(RegistryKey().Create(k, "a"), ERROR_SUCCESS);
    EXPECT_EQ(nameAt(k, 1), "b");
    EXPECT_EQ(nameAt(k, 2), "d");
    ASSERT_EQ(RegDeleteKeyA(k, "b"), ERROR_SUCCESS);
    EXPECT_EQ(nameAt(k, 1), "d");
    EXPECT_EQ(nameAt(k, 0), "a");
    EXPECT_EQ(nameAt(k, 2), "#259");
}

TEST(FileStoreFile, KeyNamesAreLimitedTo255Characters) {
    TempRegistry reg(kSeed);
    HKEY key = nullptr;
    const std::string ok(255, 'k'), tooLong(256, 'k');
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ok.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, tooLong.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, tooLong.c_str(), 0, KEY_READ, &key),
              ERROR_INVALID_PARAMETER);
    // A line break cannot be written to a .reg file: such names are refused, not mangled.
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\a\nb", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "a\r\nb", 0, REG_DWORD, one, 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "tab\tname", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, ok));
    // A 255-character name survives the file.
    registry::CloseFileStore();
    ASSERT_EQ(registry::OpenFileStore(reg.FilePath()), "");
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, ok));
}

TEST(FileStoreFile, UnknownHandlesAndAccessRights) {
    TempRegistry reg(kSeed);
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x12345678));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(bogus, "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    // A key opened for reading cannot be written through, as on Windows.
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area", 0, KEY_READ, &key),
        ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(key, "New", 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(key, "Child", 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr),
              ERROR_SUCCESS)
        << "opening an existing subkey needs no right on the parent";
    RegCloseKey(child);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "closed twice";
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED) << "a root";
}

// ---- Read-only file ----

TEST(FileStoreReadOnly, WriteAccessIsDeniedAndReadingWorks) {
    TempRegistry reg(kSeed);
    const std::string before = ReadFile(reg.FilePath());
    ASSERT_EQ(::chmod(reg.FilePath().c_str(), 0444), 0);
    const char* area = "Software\\VORNA Roboter GmbH\\Area";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, area, 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, area, 0, KEY_WRITE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, area, 0, KEY_SET_VALUE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, area, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\New", 0, nullptr, 0, KEY_READ, nullptr,
                              &key, nullptr),
              ERROR_ACCESS_DENIED);
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "x", 0, REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area\\Child"),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, area), ERROR_ACCESS_DENIED);

    RegistryKey reader;
    ASSERT_EQ(reader.Open(HKEY_LOCAL_MACHINE, area, KEY_READ), ERROR_SUCCESS);
    char buffer[16];
    DWORD count = sizeof buffer;
    EXPECT_EQ(reader.QueryString("Text", buffer, &count), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, area, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ReadFile(reg.FilePath()), before);
    EXPECT_EQ(FolderEntries(reg.FilePath()), std::vector<std::string>{"registry.reg"});
}

// Runs `body` in a child process and returns its exit status.
template <typename F>
pid_t Spawn(F body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int code = body();
        ::_exit(code);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// Opens the file as an ordinary user would (the superuser's tests drop to "nobody" in a child
// process) and reports what opening for writing and for reading gave: 0 when writing was
// denied with 5 and reading worked.
int OpenAsUser(const std::string& path) {
    return Wait(Spawn([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        std::string err;
        auto store = FileStore::Open(path, &err);
        if (!store)
            return 11;
        HKEY key = nullptr;
        if (store->OpenKey(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &key) !=
            ERROR_ACCESS_DENIED)
            return 12;
        if (store->OpenKey(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 13;
        return 0;
    }));
}

TEST(FileStoreReadOnly, WithoutWritePermissionOnTheFileOrItsFolder) {
    TempRegistry reg(kSeed);
    const std::string dir = fs::path(reg.FilePath()).parent_path().string();
    // Someone else's file, readable but not writable.
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(reg.FilePath().c_str(), 0644), 0);
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(reg.FilePath().c_str(), 0444), 0);
    }
    EXPECT_EQ(OpenAsUser(reg.FilePath()), 0);
    // A writable file in a folder where no new file can be made: the file could not be
    // replaced safely, so it counts as read-only too.
    ASSERT_EQ(::chmod(reg.FilePath().c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    EXPECT_EQ(OpenAsUser(reg.FilePath()), 0);
    ::chmod(dir.c_str(), 0700);
}

// ---- Failed writes ----

class FileStoreWriteFault : public ::testing::TestWithParam<FileStore::WriteStage> {};

TEST_P(FileStoreWriteFault, LeavesTheOldFileIntactAndReportsTheError) {
    TempRegistry reg(kSeed);
    // One good write first, so the backup exists and the fault hits the file itself (the
    // backup stage is tested on the first write).
    if (GetParam() != FileStore::WriteStage::Backup) {
        ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\First", "n", 1), ERROR_SUCCESS);
    }
    const std::string before = ReadFile(reg.FilePath());
    const auto entries = FolderEntries(reg.FilePath());
    const FileStore::WriteStage failing = GetParam();
    registry::BoundFileStore()->SetWriteFaultHook(
        [failing](FileStore::WriteStage stage) { return stage == failing ? ENOSPC : 0; });

    EXPECT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\Second", "n", 2), ERROR_DISK_FULL);
    const std::string error = registry::TakeStoreError();
    EXPECT_NE(error.find(reg.FilePath()), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
    EXPECT_EQ(ReadFile(reg.FilePath()), before);
    EXPECT_EQ(FolderEntries(reg.FilePath()), entries) << "no temporary file left behind";
    // What could not be written is not pretended to be stored.
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\Second"));

    registry::BoundFileStore()->SetWriteFaultHook(nullptr);
    EXPECT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\Second", "n", 2), ERROR_SUCCESS);
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\Second"));
    if (GetParam() == FileStore::WriteStage::Backup) {
        EXPECT_EQ(ReadFile(reg.FilePath() + ".bak"), before) << "the backup is the original";
    }
}

INSTANTIATE_TEST_SUITE_P(Stages, FileStoreWriteFault,
                         ::testing::Values(FileStore::WriteStage::Backup,
                                           FileStore::WriteStage::Write,
                                           FileStore::WriteStage::Sync,
                                           FileStore::WriteStage::Rename));

TEST(FileStoreWriteFaultBatch, AFailedBatchWriteIsReportedAndChangesNothing) {
    TempRegistry reg(kSeed);
    const std::string before = ReadFile(reg.FilePath());
    registry::BoundFileStore()->SetWriteFaultHook(
        [](FileStore::WriteStage s) { return s == FileStore::WriteStage::Rename ? EACCES : 0; });
    {
        registry::RegistryBatch batch;
        ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\InBatch", "n", 1), ERROR_SUCCESS);
        EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\InBatch"));
    }
    EXPECT_NE(registry::TakeStoreError().find("cannot write"), std::string::npos);
    EXPECT_EQ(ReadFile(reg.FilePath()), before);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\InBatch"));
}

// ---- Batches ----

TEST(FileStoreBatch, ReadsOnceAndWritesOnceHoweverManyCalls) {
    TempRegistry reg(kSeed);
    FileStore* store = registry::BoundFileStore();
    const int parses = store->ParseCount();
    const int writes = store->WriteCount();
    {
        registry::RegistryBatch outer;
        for (int i = 0; i < 50; ++i) {
            registry::RegistryBatch inner;  // nested: only the outermost counts
            const std::string path = "Software\\VORNA Roboter GmbH\\Many\\" + std::to_string(i);
            ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, path.c_str(), "Width", i), ERROR_SUCCESS);
        }
        EXPECT_EQ(store->WriteCount(), writes) << "nothing written before the batch ends";
        EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(store->ParseCount(), parses);
    EXPECT_EQ(store->WriteCount(), writes + 1);
    // A batch that only reads writes nothing.
    {
        registry::RegistryBatch batch;
        EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Many\\49"));
    }
    EXPECT_EQ(store->WriteCount(), writes + 1);
    // Outside a batch every change is written at once.
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\Alone", "n", 1), ERROR_SUCCESS);
    EXPECT_EQ(store->WriteCount(), writes + 3) << "creating the key and setting the value";
    EXPECT_EQ(store->ParseCount(), parses) << "its own writes are not read back";
}

TEST(FileStoreBatch, DiscardingStoreSeesItsChangesInTheBatchAndNeverWrites) {
    TempRegistry reg(kSeed);
    const std::string original = ReadFile(reg.FilePath());
    ASSERT_EQ(registry::OpenFileStore(reg.FilePath(), registry::StoreWrites::Discard), "");
    ASSERT_TRUE(registry::FileStoreFormat().has_value());
    EXPECT_FALSE(registry::FileStoreFormat()->version5);
    {
        registry::RegistryBatch batch;
        ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\New", "n", 1), ERROR_SUCCESS);
        ASSERT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"),
                  ERROR_SUCCESS);
        EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\New"));
        EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"));
    }
    // Dropped with the batch; a call on its own is dropped at once.
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\New"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area\\Child"));
    {
        RegistryKey area;
        ASSERT_EQ(area.Open(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"),
                  ERROR_SUCCESS);
        ASSERT_EQ(area.SetNumber("n", 1), ERROR_SUCCESS);
        EXPECT_FALSE(reg.Value(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area", "n"));
    }
    EXPECT_EQ(registry::BoundFileStore()->WriteCount(), 0);
    EXPECT_EQ(registry::TakeStoreError(), "");
    EXPECT_EQ(ReadFile(reg.FilePath()), original);
    EXPECT_EQ(FolderEntries(reg.FilePath()), std::vector<std::string>{"registry.reg"});
    registry::CloseFileStore();
    EXPECT_FALSE(registry::FileStoreFormat().has_value());
}

TEST(FileStoreBatch, CallsOutsideABatchSeeOtherProgramsChangesAndHandlesSurvive) {
    TempRegistry reg(kSeed);
    RegistryKey area;
    ASSERT_EQ(area.Open(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"), ERROR_SUCCESS);
    RegistryKey child;
    ASSERT_EQ(child.Open(area, "Child"), ERROR_SUCCESS);
    // Another program rewrites the file: Area stays (with a new value), Child goes.
    WriteFile(reg.FilePath(),
              "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Area]\r\n"
              "\"Text\"=\"changed\"\r\n");
    char buffer[32];
    DWORD count = sizeof buffer;
    EXPECT_EQ(area.QueryString("Text", buffer, &count), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "changed");
    EXPECT_EQ(child.SetNumber("n", 1), ERROR_KEY_DELETED);
    EXPECT_EQ(area.SetNumber("n", 1), ERROR_SUCCESS);
}

TEST(FileStoreBatch, ASameSizeRewriteIsSeenOnceTheFileIsKnownUnchanged) {
    TempRegistry reg(kSeed);
    RegistryKey area;
    ASSERT_EQ(area.Open(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area"), ERROR_SUCCESS);
    // Read long enough after the file's last change that its times vouch for its bytes from
    // then on; another program then rewrites it in place with the same size.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    char buffer[32];
    DWORD count = sizeof buffer;
    ASSERT_EQ(area.QueryString("Text", buffer, &count), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "abc");
    std::string theirs = kSeed;
    theirs.replace(theirs.find("abc"), 3, "xyz");
    WriteFile(reg.FilePath(), theirs);
    count = sizeof buffer;
    ASSERT_EQ(area.QueryString("Text", buffer, &count), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "xyz");
}

TEST(FileStoreBatch, AChangeByAProgramIgnoringTheLockIsNotOverwritten) {
    TempRegistry reg(kSeed);
    const std::string theirs =
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Theirs]\r\n\"t\"=\"1\"\r\n";
    {
        registry::RegistryBatch batch;
        ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\Ours", "n", 1), ERROR_SUCCESS);
        WriteFile(reg.FilePath(), theirs);  // in place, without the lock
    }
    EXPECT_NE(registry::TakeStoreError().find("another program changed"), std::string::npos);
    EXPECT_EQ(ReadFile(reg.FilePath()), theirs);
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\Theirs"));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\Ours"));
}

TEST(FileStoreBatch, TwoStoresOnOneFileLoseNothing) {
    TempRegistry reg(kSeed);
    std::string err;
    auto a = FileStore::Open(reg.FilePath(), &err);
    auto b = FileStore::Open(reg.FilePath(), &err);
    ASSERT_TRUE(a && b) << err;
    // Both have read the file; each now changes a different key in its own batch.
    auto setIn = [](FileStore& store, const char* path, DWORD value) {
        store.BeginBatch();
        HKEY key = nullptr;
        ASSERT_EQ(store.CreateKey(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        const BYTE data[4] = {static_cast<BYTE>(value), 0, 0, 0};
        ASSERT_EQ(store.SetValueEx(key, "v", 0, REG_DWORD, data, 4), ERROR_SUCCESS);
        store.CloseKey(key);
        ASSERT_EQ(store.EndBatch(), ERROR_SUCCESS);
    };
    setIn(*a, "Software\\VORNA Roboter GmbH\\FromA", 1);
    setIn(*b, "Software\\VORNA Roboter GmbH\\FromB", 2);
    setIn(*a, "Software\\VORNA Roboter GmbH\\FromA2", 3);
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\FromA"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\FromB"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\FromA2"));
    EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Area\\Child"));
}

TEST(FileStoreLock, ABatchWaitsForAnotherProgramsBatchAndSeesItsChanges) {
    TempRegistry reg(kSeed);
    const std::string path = reg.FilePath();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = Spawn([&] {
        std::string err;
        auto store = FileStore::Open(path, &err);
        if (!store)
            return 1;
        store->BeginBatch();
        HKEY key = nullptr;
        if (store->CreateKey(HKEY_LOCAL_MACHINE, "Software\\FromChild", 0, nullptr, 0,
                             KEY_ALL_ACCESS, nullptr, &key, nullptr))
            return 2;
        char c = 'r';
        if (::write(ready[1], &c, 1) != 1)
            return 3;
        ::usleep(300 * 1000);  // the parent's batch must wait for this one
        return store->EndBatch() == ERROR_SUCCESS ? 0 : 4;
    });
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    const auto start = std::chrono::steady_clock::now();
    {
        registry::RegistryBatch batch;
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(150));
        EXPECT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\FromChild"));
        ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\FromParent", "n", 1), ERROR_SUCCESS);
    }
    EXPECT_EQ(Wait(child), 0);
    ::close(ready[0]);
    ::close(ready[1]);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("FromChild"), std::string::npos);
    EXPECT_NE(text.find("FromParent"), std::string::npos);
}

// A writer puts a new file in place of the locked one. A program that opens the new file at
// once must find it locked until the writer is done with the exchange, or it would remove the
// writer's temporary file as stale (and with it the old file the writer may have to put back).
TEST(FileStoreLock, TheNewFileIsLockedBeforeItIsPutInPlace) {
    TempRegistry reg(kSeed);
    const std::string path = reg.FilePath();
    int lockedBeforeReplace = -1;
    registry::BoundFileStore()->SetWriteFaultHook([&](FileStore::WriteStage stage) {
        if (stage != FileStore::WriteStage::Rename)
            return 0;
        for (const std::string& name : FolderEntries(path)) {
            if (name.rfind("." + fs::path(path).filename().string() + ".tmp-", 0) != 0)
                continue;
            const int fd = ::open((fs::path(path).parent_path() / name).c_str(), O_RDONLY);
            lockedBeforeReplace = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            ::close(fd);
        }
        return 0;
    });
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\New", "n", 1), ERROR_SUCCESS);
    EXPECT_EQ(lockedBeforeReplace, 1);
    // Once the write is done, the new file is free for the next program.
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << std::strerror(errno);
    ::close(fd);
    registry::BoundFileStore()->SetWriteFaultHook(nullptr);
}

TEST(FileStoreLock, ALockHeldTooLongFailsTheBatchWithoutWriting) {
    TempRegistry reg(kSeed);
    const std::string path = reg.FilePath();
    const std::string before = ReadFile(path);
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    pid_t child = Spawn([&] {
        std::string err;
        auto store = FileStore::Open(path, &err);
        if (!store)
            return 1;
        store->BeginBatch();
        char c = 'r';
        if (::write(ready[1], &c, 1) != 1)
            return 3;
        if (::read(done[0], &c, 1) != 1)
            return 4;
        store->EndBatch();
        return 0;
    });
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    registry::BoundFileStore()->SetLockTimeout(std::chrono::milliseconds(100));
    {
        registry::RegistryBatch batch;
        EXPECT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\Blocked", "n", 1),
                  ERROR_REGISTRY_IO_FAILED);
    }
    EXPECT_NE(registry::TakeStoreError().find("locked"), std::string::npos);
    ASSERT_EQ(::write(done[1], &c, 1), 1);
    EXPECT_EQ(Wait(child), 0);
    EXPECT_EQ(ReadFile(path), before);
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        ::close(fd);
}

// ---- Unbound ----

TEST(FileStoreUnbound, CallsFailAsIfThereWereNoRegistry) {
    registry::CloseFileStore();
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, KEY_READ, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    { registry::RegistryBatch batch; }
    EXPECT_EQ(registry::TakeStoreError(), "");
}

// ---- Size ----

TEST(FileStorePerformance, ThousandsOfKeysLoadAndSaveQuickly) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (int level = 0; level < 3000; ++level) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Big\\Level" +
                std::to_string(level) +
                "\\List\\Columns\\0]\r\n@=\"Label\"\r\n"
                "\"Width\"=dword:00000064\r\n\"Bin\"=hex:01,02,03,04,05,06,07,08\r\n\r\n";
    }
    TempRegistry reg(text);
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    registry::CloseFileStore();
    ASSERT_EQ(registry::OpenFileStore(reg.FilePath()), "");
    auto load = Clock::now() - t0;
    t0 = Clock::now();
    ASSERT_EQ(SetNumber(HKEY_LOCAL_MACHINE, "Software\\X", "n", 1), ERROR_SUCCESS);
    auto save = Clock::now() - t0;
    t0 = Clock::now();
    {
        registry::RegistryBatch batch;
        EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Big"),
                  ERROR_SUCCESS);
    }
    auto deleteAll = Clock::now() - t0;
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    std::printf("12000 keys: load %lld ms, one change saved %lld ms, tree delete %lld ms\n",
                static_cast<long long>(duration_cast<milliseconds>(load).count()),
                static_cast<long long>(duration_cast<milliseconds>(save).count()),
                static_cast<long long>(duration_cast<milliseconds>(deleteAll).count()));
    // Loose bounds that only a per-call re-read or a quadratic walk would break.
    EXPECT_LT(load, std::chrono::milliseconds(1000));
    EXPECT_LT(save, std::chrono::milliseconds(1000));
    EXPECT_LT(deleteAll, std::chrono::milliseconds(1000));
}

}  // namespace

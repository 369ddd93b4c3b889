// The directory picker's file system calls, one set of tests for both systems: natively C: and
// Z: are mapped the way Wine sets them up (C: a folder of its own, Z: the file system's root),
// under Windows (Wine) they are the real drives.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "platform/windows_path.h"

namespace {

namespace fs = std::filesystem;
using platform::DirectoryEntry;

std::string UniqueName(const char* stem) {
    std::random_device random;
    return std::string(stem) + "-" + std::to_string(random() % 1000000000u);
}

class FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedDirectory_ = fs::current_path();
        if (platform::kDrivesAreMapped) {
            driveC_ = fs::temp_directory_path() / UniqueName("vlx-drive-c");
            fs::create_directories(driveC_);
            ASSERT_TRUE(platform::SetDriveMapping('C', driveC_.string()));
            ASSERT_TRUE(platform::SetDriveMapping('Z', "/"));
        }
        // C:\<scratch>\A\B, C:\<scratch>\A\x.dat, C:\<scratch>\A\y.dat, C:\<scratch>\Empty
        scratch_ = "C:\\" + UniqueName("vlx-platform-test");
        MakeDirectory(scratch_ + "\\A\\B");
        MakeDirectory(scratch_ + "\\Empty");
        MakeFile(scratch_ + "\\A\\x.dat");
        MakeFile(scratch_ + "\\A\\y.dat");
    }

    void TearDown() override {
        std::error_code ec;
        fs::current_path(savedDirectory_, ec);
        if (const auto host = platform::HostPath(scratch_)) {
            fs::remove_all(*host, ec);
        }
        if (platform::kDrivesAreMapped) {
            fs::remove_all(driveC_, ec);
            platform::ResetDriveMappings();
        }
    }

    static fs::path Host(const std::string& path) {
        const auto host = platform::HostPath(path);
        if (!host) {
            ADD_FAILURE() << "no host path for " << path;
            return {};
        }
        return fs::path(*host);
    }

    static void MakeDirectory(const std::string& path) { fs::create_directories(Host(path)); }

    static void MakeFile(const std::string& path) {
        std::ofstream(Host(path)) << "data";
        ASSERT_TRUE(fs::is_regular_file(Host(path))) << path;
    }

    static std::set<std::pair<std::string, bool>> AsSet(const std::vector<DirectoryEntry>& list) {
        std::set<std::pair<std::string, bool>> set;
        for (const DirectoryEntry& entry : list) {
            set.insert({entry.name, entry.isDirectory});
        }
        return set;
    }

    static bool Holds(const std::vector<DirectoryEntry>& list, const std::string& name,
                      bool isDirectory) {
        return std::any_of(list.begin(), list.end(), [&](const DirectoryEntry& entry) {
            return entry.name == name && entry.isDirectory == isDirectory;
        });
    }

    std::string scratch_;

  private:
    fs::path savedDirectory_;
    fs::path driveC_;
};

TEST_F(FileSystemTest, DriveRootsAreLetterColonBackslash) {
    const std::vector<std::string> roots = platform::DriveRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
    EXPECT_NE(std::find(roots.begin(), roots.end(), "Z:\\"), roots.end());
    for (const std::string& root : roots) {
        ASSERT_EQ(root.size(), 3u) << root;
        EXPECT_TRUE(root[0] >= 'A' && root[0] <= 'Z') << root;
        EXPECT_EQ(root.substr(1), ":\\");
    }
}

TEST_F(FileSystemTest, DriveRootIsCurrentAndListsWithoutParentEntries) {
    for (const char* root : {"C:\\", "Z:\\"}) {
        ASSERT_TRUE(platform::ChangeCurrentDirectory(root)) << root;
        EXPECT_EQ(platform::CurrentDirectory(), root);
        const auto entries = platform::ListCurrentDirectory();
        ASSERT_TRUE(entries) << root;
        EXPECT_FALSE(Holds(*entries, ".", true)) << root;
        EXPECT_FALSE(Holds(*entries, "..", true)) << root;
    }
    // Z: is the whole file system of the machine; its tmp folder is a directory there.
    EXPECT_TRUE(Holds(*platform::ListDirectory("Z:\\"), "tmp", true));
    EXPECT_TRUE(Holds(*platform::ListDirectory("C:\\"), scratch_.substr(3), true));
}

TEST_F(FileSystemTest, ListsFoldersAndFilesWithTheirKind) {
    const auto entries = platform::ListDirectory(scratch_ + "\\A");
    ASSERT_TRUE(entries);
    const std::set<std::pair<std::string, bool>> expected = {
        {".", true}, {"..", true}, {"B", true}, {"x.dat", false}, {"y.dat", false}};
    EXPECT_EQ(AsSet(*entries), expected);
    EXPECT_EQ(entries->size(), expected.size());

    const auto empty = platform::ListDirectory(scratch_ + "\\Empty");
    ASSERT_TRUE(empty);
    EXPECT_EQ(AsSet(*empty), (std::set<std::pair<std::string, bool>>{{".", true}, {"..", true}}));
}

TEST_F(FileSystemTest, ListingWhatIsNoFolderFails) {
    EXPECT_FALSE(platform::ListDirectory(scratch_ + "\\Missing"));
    EXPECT_FALSE(platform::ListDirectory(scratch_ + "\\A\\x.dat"));
}

TEST_F(FileSystemTest, NavigatesLikeThePicker) {
    ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\"));
    // Entering a folder from the root appends a backslash and its name to "C:\".
    ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\\\" + scratch_.substr(3)));
    EXPECT_EQ(platform::CurrentDirectory(), scratch_);
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_ + "\\A"));
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_ + "\\A\\B"));
    EXPECT_EQ(platform::CurrentDirectory(), scratch_ + "\\A\\B");
    EXPECT_TRUE(platform::ListCurrentDirectory());
    // The picker's "[..]" cuts the path at its last backslash and adds one back at a drive.
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_ + "\\A"));
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_));
    ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\"));
    EXPECT_EQ(platform::CurrentDirectory(), "C:\\");
}

TEST_F(FileSystemTest, RelativeAndOtherFormsResolveAsTheSystemDoes) {
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_));
    const std::string start = platform::CurrentDirectory();
    ASSERT_EQ(start, scratch_);
    // Each step goes from where the one before ended; the expected place is what the
    // resolver computes, so this also checks it against the system's own rules.
    const char* steps[] = {"A",    "B",       "..",  "..\\A\\B", "\\",
                           "..",   "Z:\\tmp", "C:/", "",         "Z:\\tmp\\..\\tmp\\",
                           "C:\\", ".",       "Z:"};
    for (const char* step : steps) {
        const std::string before = platform::CurrentDirectory();
        std::string target = step;
        if (target.empty()) {
            target = scratch_ + "\\A\\";  // a trailing backslash
        }
        const auto expected = platform::ResolveWindowsPath(before, target);
        ASSERT_TRUE(expected) << target;
        ASSERT_TRUE(platform::ChangeCurrentDirectory(target))
            << "from " << before << " to " << target;
        EXPECT_EQ(platform::CurrentDirectory(), platform::FormatWindowsPath(*expected))
            << "from " << before << " to " << target;
    }
}

TEST_F(FileSystemTest, LetterCaseOfNamesDoesNotMatter) {
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_ + "\\a\\b"));
    EXPECT_TRUE(platform::SameName(platform::CurrentDirectory(), scratch_ + "\\A\\B"));
    const auto entries = platform::ListDirectory(scratch_ + "\\a");
    ASSERT_TRUE(entries);
    EXPECT_TRUE(Holds(*entries, "x.dat", false));
    EXPECT_TRUE(fs::is_regular_file(Host(scratch_ + "\\a\\X.DAT")));
}

TEST_F(FileSystemTest, FailedChangeKeepsTheCurrentDirectory) {
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_ + "\\A"));
    const std::string before = platform::CurrentDirectory();

    EXPECT_FALSE(platform::ChangeCurrentDirectory(scratch_ + "\\Missing"));
    EXPECT_FALSE(platform::ChangeCurrentDirectory(scratch_ + "\\A\\x.dat"));
    EXPECT_FALSE(platform::ChangeCurrentDirectory(""));
    EXPECT_FALSE(platform::ChangeCurrentDirectory(scratch_ + "\\A*"));
    // A letter that is no drive here.
    const std::vector<std::string> roots = platform::DriveRoots();
    for (char letter = 'Y'; letter > 'D'; --letter) {
        if (std::find(roots.begin(), roots.end(), platform::DriveRoot(letter)) == roots.end()) {
            EXPECT_FALSE(platform::ChangeCurrentDirectory(platform::DriveRoot(letter))) << letter;
            break;
        }
    }
    EXPECT_EQ(platform::CurrentDirectory(), before);
}

TEST_F(FileSystemTest, CurrentDirectoryIsTheProcesses) {
    ASSERT_TRUE(platform::ChangeCurrentDirectory(scratch_ + "\\A"));
    // A file name without a folder now lands in A, as it would on Windows.
    std::ofstream("relative.txt") << "x";
    EXPECT_TRUE(fs::is_regular_file(Host(scratch_ + "\\A\\relative.txt")));
    EXPECT_TRUE(Holds(*platform::ListCurrentDirectory(), "relative.txt", false));
}

}  // namespace

// Drive letters standing for folders, where the system has none.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/file_system.h"

namespace {

namespace fs = std::filesystem;

class DriveMappingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedDirectory_ = fs::current_path();
        std::random_device random;
        root_ =
            fs::temp_directory_path() / ("vlx-mapping-" + std::to_string(random() % 1000000000u));
        fs::create_directories(root_);
        const char* home = getenv("HOME");
        savedHome_ = home ? std::optional<std::string>(home) : std::nullopt;
    }

    void TearDown() override {
        std::error_code ec;
        fs::current_path(savedDirectory_, ec);
        if (savedHome_) {
            setenv("HOME", savedHome_->c_str(), 1);
        } else {
            unsetenv("HOME");
        }
        platform::ResetDriveMappings();
        fs::remove_all(root_, ec);
    }

    fs::path root_;

  private:
    fs::path savedDirectory_;
    std::optional<std::string> savedHome_;
};

TEST_F(DriveMappingTest, DefaultIsDriveCForTheHomeFolder) {
    setenv("HOME", root_.c_str(), 1);
    platform::ResetDriveMappings();
    EXPECT_EQ(platform::DriveRoots(), std::vector<std::string>{"C:\\"});
    EXPECT_EQ(platform::DriveMappings(), (std::map<char, std::string>{{'C', root_.string()}}));
    ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\"));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), root_));

    unsetenv("HOME");
    platform::ResetDriveMappings();
    EXPECT_EQ(platform::DriveMappings(), (std::map<char, std::string>{{'C', "/"}}));
}

TEST_F(DriveMappingTest, SetReplacesAndRemoves) {
    EXPECT_FALSE(platform::SetDriveMapping('1', root_.string()));
    EXPECT_FALSE(platform::SetDriveMapping(':', root_.string()));
    EXPECT_FALSE(platform::SetDriveMapping('\0', root_.string()));
    EXPECT_FALSE(platform::SetDriveMapping('D', ""));

    ASSERT_TRUE(platform::SetDriveMapping('d', (root_ / "d" / "").string()));
    ASSERT_TRUE(platform::SetDriveMapping('C', root_.string()));
    EXPECT_EQ(platform::DriveRoots(), (std::vector<std::string>{"C:\\", "D:\\"}));
    EXPECT_EQ(platform::DriveMappings().at('D'), (root_ / "d").string());

    EXPECT_TRUE(platform::RemoveDriveMapping('c'));
    EXPECT_FALSE(platform::RemoveDriveMapping('C'));
    EXPECT_EQ(platform::DriveRoots(), std::vector<std::string>{"D:\\"});
}

TEST_F(DriveMappingTest, RelativeFolderIsTakenFromTheProcessDirectoryNow) {
    fs::create_directories(root_ / "rel");
    fs::current_path(root_);
    ASSERT_TRUE(platform::SetDriveMapping('R', "rel"));
    fs::current_path("/");
    EXPECT_EQ(platform::DriveMappings().at('R'), (root_ / "rel").string());
    EXPECT_TRUE(platform::ChangeCurrentDirectory("R:\\"));
}

TEST_F(DriveMappingTest, MissingFolderIsADriveThatCannotBeAccessed) {
    ASSERT_TRUE(platform::SetDriveMapping('C', root_.string()));
    ASSERT_TRUE(platform::SetDriveMapping('M', (root_ / "not-there").string()));
    ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\"));
    EXPECT_EQ(platform::DriveRoots(), (std::vector<std::string>{"C:\\", "M:\\"}));
    EXPECT_FALSE(platform::ChangeCurrentDirectory("M:\\"));
    EXPECT_FALSE(platform::ListDirectory("M:\\"));
    EXPECT_EQ(platform::CurrentDirectory(), "C:\\");
}

TEST_F(DriveMappingTest, HostPathsFollowTheMappingAndExistingLetterCase) {
    fs::create_directories(root_ / "Data" / "Archive");
    ASSERT_TRUE(platform::SetDriveMapping('D', root_.string()));
    EXPECT_EQ(platform::HostPath("D:\\"), root_.string());
    EXPECT_EQ(platform::HostPath("d:\\data\\ARCHIVE\\New"),
              (root_ / "Data" / "Archive" / "New").string());
    EXPECT_EQ(platform::HostPath("D:\\Data\\..\\x"), (root_ / "x").string());
    EXPECT_FALSE(platform::HostPath("Q:\\"));
    EXPECT_FALSE(platform::HostPath("D:\\a?"));
}

TEST_F(DriveMappingTest, ListingIsSortedWithParentEntriesFirst) {
    ASSERT_TRUE(platform::SetDriveMapping('D', root_.string()));
    fs::create_directories(root_ / "sub" / "beta");
    fs::create_directories(root_ / "sub" / "Alpha");
    std::ofstream(root_ / "sub" / "gamma.txt") << "g";
    std::ofstream(root_ / "sub" / "Delta.txt") << "d";
    // No Windows path can name these.
    std::ofstream(root_ / "sub" / "back\\slash") << "b";
    std::ofstream(root_ / "sub" / "what?") << "q";
    fs::create_directories(root_ / "sub" / "a:b");
    fs::create_directory_symlink(root_ / "sub" / "beta", root_ / "sub" / "link");

    const auto entries = platform::ListDirectory("D:\\sub");
    ASSERT_TRUE(entries);
    const std::vector<platform::DirectoryEntry> expected = {
        {".", true},          {"..", true},         {"Alpha", true}, {"beta", true},
        {"Delta.txt", false}, {"gamma.txt", false}, {"link", true}};
    EXPECT_EQ(*entries, expected);
}

TEST_F(DriveMappingTest, CurrentDirectoryFollowsTheProcessIntoMappedFolders) {
    fs::create_directories(root_ / "a" / "b");
    ASSERT_TRUE(platform::SetDriveMapping('D', root_.string()));
    fs::current_path(root_ / "a" / "b");
    EXPECT_EQ(platform::CurrentDirectory(), "D:\\a\\b");
    // The deepest mapped folder holding the directory names it.
    ASSERT_TRUE(platform::SetDriveMapping('E', (root_ / "a").string()));
    EXPECT_EQ(platform::CurrentDirectory(), "E:\\b");
    // Outside every mapped folder there is no controller path for it.
    ASSERT_TRUE(platform::RemoveDriveMapping('D'));
    fs::current_path(root_);
    EXPECT_EQ(platform::CurrentDirectory(), "");
    EXPECT_FALSE(platform::ListCurrentDirectory());
}

TEST_F(DriveMappingTest, LongCurrentDirectoryIsReturnedWhole) {
    ASSERT_TRUE(platform::SetDriveMapping('D', root_.string()));
    std::string path = "D:";
    fs::path host = root_;
    for (int i = 0; i < 12; ++i) {
        const std::string name(30, static_cast<char>('a' + i));
        path += "\\" + name;
        host /= name;
    }
    fs::create_directories(host);
    ASSERT_GT(path.size(), 300u);
    ASSERT_TRUE(platform::ChangeCurrentDirectory(path));
    EXPECT_EQ(platform::CurrentDirectory(), path);
}

// Folders copied from a controller carry names in UTF-8 here; the program shows and stores them
// in the controller's code page, and finds them again from there.
TEST_F(DriveMappingTest, UnicodeNamesAppearInTheControllersCodePage) {
    struct Case {
        std::string host;        // the folder's name on this machine
        std::string controller;  // as listed and as a path names it
    };
    const Case cases[] = {
        {"M\xC3\xBCller", "M\xFCller"},        // ü
        {"Preis \xE2\x82\xAC", "Preis \x80"},  // the euro sign, 0x80 in the code page
        {"\xE6\x97\xA5", "\xE6\x97\xA5"},      // beyond the code page: its bytes
        {"raw\xE4", "raw\xE4"},                // no UTF-8: its bytes
    };
    ASSERT_TRUE(platform::SetDriveMapping('C', root_.string()));
    for (const Case& c : cases) {
        fs::create_directories(root_ / c.host / "sub");
    }
    const auto entries = platform::ListDirectory("C:\\");
    ASSERT_TRUE(entries.has_value());
    for (const Case& c : cases) {
        EXPECT_NE(std::find(entries->begin(), entries->end(),
                            platform::DirectoryEntry{c.controller, true}),
                  entries->end())
            << c.controller;
        ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\" + c.controller + "\\sub"))
            << c.controller;
        EXPECT_TRUE(fs::equivalent(fs::current_path(), root_ / c.host / "sub"));
        EXPECT_EQ(platform::CurrentDirectory(), "C:\\" + c.controller + "\\sub");
        ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\"));
    }
    // Letter case is matched in the code page too.
    EXPECT_EQ(platform::HostPath("C:\\m\xDCLLER"), (root_ / "M\xC3\xBCller").string());
}

}  // namespace

// Resolving controller paths the way the system does: the mapped drives rely on it, and the
// file system tests check it against the real thing under Windows.
#include "platform/windows_path.h"

#include <gtest/gtest.h>

namespace {

using platform::ResolveWindowsPath;

std::string Resolved(std::string_view base, std::string_view path) {
    const auto resolved = ResolveWindowsPath(base, path);
    return resolved ? platform::FormatWindowsPath(*resolved) : "<none>";
}

TEST(WindowsPath, AbsolutePathsAreNormalised) {
    EXPECT_EQ(Resolved("", "C:\\"), "C:\\");
    EXPECT_EQ(Resolved("", "c:"), "C:\\");
    EXPECT_EQ(Resolved("", "C:\\VLX\\Roboter"), "C:\\VLX\\Roboter");
    EXPECT_EQ(Resolved("", "c:/a//b\\"), "C:\\a\\b");
    EXPECT_EQ(Resolved("", "C:\\\\A"), "C:\\A");  // a name appended to a root's backslash
    EXPECT_EQ(Resolved("", "C:\\a\\.\\b\\..\\c"), "C:\\a\\c");
    EXPECT_EQ(Resolved("", "C:\\..\\..\\a"), "C:\\a");
    EXPECT_EQ(Resolved("Z:\\tmp", "D:name"), "D:\\name");
    EXPECT_EQ(Resolved("", "C:\\My Folder\\v1.2"), "C:\\My Folder\\v1.2");
}

TEST(WindowsPath, RelativePathsCountFromTheBase) {
    EXPECT_EQ(Resolved("C:\\a\\b", "c"), "C:\\a\\b\\c");
    EXPECT_EQ(Resolved("C:\\a\\b", "."), "C:\\a\\b");
    EXPECT_EQ(Resolved("C:\\a\\b", ".."), "C:\\a");
    EXPECT_EQ(Resolved("C:\\a\\b", "..\\d"), "C:\\a\\d");
    EXPECT_EQ(Resolved("C:\\a\\b", "..\\..\\..\\.."), "C:\\");
    EXPECT_EQ(Resolved("C:\\a\\b", "\\x"), "C:\\x");
    EXPECT_EQ(Resolved("Z:\\", "tmp/x"), "Z:\\tmp\\x");
}

TEST(WindowsPath, RefusesWhatNamesNoFolder) {
    EXPECT_FALSE(ResolveWindowsPath("C:\\", ""));
    EXPECT_FALSE(ResolveWindowsPath("", "relative"));
    EXPECT_FALSE(ResolveWindowsPath("a\\b", "c"));
    EXPECT_FALSE(ResolveWindowsPath("C:a", "c"));
    EXPECT_FALSE(ResolveWindowsPath("C:\\", "\\\\server\\share"));
    for (const char* bad :
         {"C:\\a*", "C:\\a?b", "C:\\a:b", "C:\\<a>", "C:\\a|b", "C:\\\"a\"", "C:\\a\tb"}) {
        EXPECT_FALSE(ResolveWindowsPath("", bad)) << bad;
    }
}

TEST(WindowsPath, FormsAndNames) {
    EXPECT_EQ(platform::DriveRoot('d'), "D:\\");
    EXPECT_EQ(platform::FormatWindowsPath({'E', {}}), "E:\\");
    EXPECT_EQ(platform::FormatWindowsPath({'E', {"a", "b c"}}), "E:\\a\\b c");
    EXPECT_TRUE(platform::IsValidWindowsName("v1.2 final"));
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "a:b", "a?", "a*", "a|b", "a\x01"}) {
        EXPECT_FALSE(platform::IsValidWindowsName(bad)) << bad;
    }
    EXPECT_TRUE(platform::SameName("Program Files", "PROGRAM files"));
    EXPECT_FALSE(platform::SameName("abc", "abd"));
    EXPECT_FALSE(platform::SameName("abc", "abcd"));
}

}  // namespace

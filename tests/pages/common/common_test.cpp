// What the page records share: the controller path rule with the installation directory read
// from the store, the atoi rule, user levels and text rules.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/text_rules.h"
#include "pages/common/controller_path.h"
#include "pages/common/decimal_text.h"
#include "pages/common/user_levels.h"
#include "tests/support/registry_fixture.h"

namespace {

TEST(ControllerPathTest, ShortensPathsBelowTheInstallationDirectoryOnly) {
    struct Case {
        const char* path;
        const char* installationDir;
        const char* stored;
    };
    const Case cases[] = {
        {"C:\\VLX\\Roboter\\VLX\\R1\\Program", "c:\\vlx", "vlx:\\r1\\program"},
        {"C:\\VLX\\Roboter\\VLX", "c:\\vlx", "vlx:"},
        {"D:\\Data\\Archive", "c:\\vlx", "d:\\data\\archive"},
        // No installation directory: "\roboter\vlx" alone must not be cut out of a path.
        {"c:\\roboter\\vlx\\r1", "", "c:\\roboter\\vlx\\r1"},
        // Only at a folder boundary: vlx2 is another folder.
        {"c:\\vlx\\roboter\\vlx2", "c:\\vlx", "c:\\vlx\\roboter\\vlx2"},
        {"c:\\vlx\\roboter\\vlx2\\c:\\vlx\\roboter\\vlx", "c:\\vlx",
         "c:\\vlx\\roboter\\vlx2\\vlx:"},
        {"c:\\vlx\\roboter\\vlx\\c:\\vlx\\roboter\\vlx\\x", "c:\\vlx", "vlx:\\vlx:\\x"},
        {"", "c:\\vlx", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(common::ControllerPath(c.path, c.installationDir), c.stored) << c.path;
    }
}

TEST(ControllerPathTest, ReplacesAtPathBoundaries) {
    EXPECT_EQ(common::ReplaceAtPathBoundary("c:\\vlx\\a", "c:\\vlx", "%X%"), "%X%\\a");
    EXPECT_EQ(common::ReplaceAtPathBoundary("c:\\vlxa\\c:\\vlx", "c:\\vlx", "%X%"),
              "c:\\vlxa\\%X%");
    EXPECT_EQ(common::ReplaceAtPathBoundary("aaa", "aa", "b"), "ab");
    EXPECT_EQ(common::ReplaceAtPathBoundary("abc", "", "x"), "abc");
}

TEST(ControllerPathTest, ReadsTheInstallationDirectoryLowerCased) {
    const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n";
    const std::string longDir = "C:\\" + std::string(300, 'D');
    struct Case {
        std::string regText;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {key + "\"InstallationDir\"=\"C:\\\\VLX\"\n", "", "c:\\vlx"},
        {key + "\"InstallationDir\"=\"" + "C:\\\\" + std::string(300, 'D') + "\"\n", "",
         common::ToLower(longDir)},
        {key, "c:\\old", ""},                                           // no such value
        {key + "\"InstallationDir\"=dword:00000001\n", "c:\\old", ""},  // not a string
        {"", "c:\\old", "c:\\old"},                                     // no key: kept
    };
    for (const Case& c : cases) {
        testsupport::TempRegistry reg(c.regText);
        std::string dir = c.before;
        common::ReadInstallationDir(dir);
        EXPECT_EQ(dir, c.after) << c.regText;
    }
}

TEST(CommonRulesTest, AtoiLevelsAndText) {
    EXPECT_EQ(common::AtoiRule(" \t+42x"), 42);
    EXPECT_EQ(common::AtoiRule("-"), 0);
    EXPECT_EQ(common::AtoiRule("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(common::AtoiRule("-99999999999999999999999"), INT64_MIN);
    EXPECT_EQ(common::AtoiRuleUnsigned32("4294967296"), 4294967295u);
    EXPECT_EQ(common::AtoiRuleUnsigned32(""), 0u);
    EXPECT_EQ(common::AtoiRuleUnsigned32("120"), 120u);

    EXPECT_TRUE(userlevels::IsDefaultLevel("DEFAULT"));
    EXPECT_TRUE(userlevels::IsDefaultLevel("default"));
    EXPECT_FALSE(userlevels::IsDefaultLevel("Defaults"));
    EXPECT_FALSE(userlevels::IsDefaultLevel("Admin"));

    // Only A-Z fold: other bytes of the code page stay as they are.
    EXPECT_EQ(common::ToLower("C:\\VLX\xC4"), "c:\\vlx\xC4");
    EXPECT_TRUE(common::EqualsNoCase("Filter", "fILTER"));
    EXPECT_FALSE(common::EqualsNoCase("\xC4", "\xE4"));
    EXPECT_EQ(common::Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(common::TrimLeft("  a "), "a ");
    EXPECT_EQ(common::TrimSpaces("  \ta b\t  "), "\ta b\t");
    EXPECT_EQ(common::TrimSpaces("   "), "");
    EXPECT_EQ(common::TrimLeftSpaces("  1.0 "), "1.0 ");
}

}  // namespace

// The predefined tree and the General page's registry layout, against a temporary registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/general/general_registry.h"
#include "pages/general/predefined_tree.h"
#include "tests/support/registry_fixture.h"

namespace {

using general::GeneralRegistry;
using general::GeneralValues;
using general::PredefinedTree;
using general::TreeNode;
using testsupport::TempRegistry;
using Lines = std::vector<std::string>;

const std::string kTree = general::kPreDefinedTreeKeyPath;
const std::string kTreeHeader = "[HKEY_LOCAL_MACHINE\\" + kTree;
const std::string kBackUp = general::kBackUpKeyPath;
const std::string kFile = general::kManagerFileKeyPath;

// .reg text in which "[T" stands for the PreDefinedTree key.
std::string TreeArea(std::string body) {
    for (std::string::size_type pos = 0; (pos = body.find("[T", pos)) != std::string::npos;
         pos += kTreeHeader.size()) {
        body.replace(pos, 2, kTreeHeader);
    }
    return body;
}

// Each node as its path, its stored flag and its check box: "vlx:\r1\ 2 x".
Lines Describe(const PredefinedTree& tree) {
    Lines lines;
    tree.ForEach([&lines](const TreeNode& node) {
        lines.push_back(PredefinedTree::PathOf(node) + " " + std::to_string(node.flag) +
                        (node.checked ? " x" : " -"));
    });
    return lines;
}

TEST(PredefinedTreeTest, InsertionsCreateOnlyWhatIsMissingAndMarkTheTarget) {
    // Each case starts from c:\temp (flags 0) and vlx: (flag 1), then inserts one path.
    const struct {
        const char* path;
        bool strip;
        Lines expected;
        std::size_t created;
    } cases[] = {
        {"c:\\temp", false, {"c:\\ 0 -", "c:\\temp\\ 1 x", "vlx:\\ 1 x"}, 0},
        {"C:\\TEMP\\", false, {"c:\\ 0 -", "c:\\temp\\ 1 x", "vlx:\\ 1 x"}, 0},
        {"vlx:\\r1\\program",
         false,
         {"c:\\ 0 -", "c:\\temp\\ 0 -", "vlx:\\ 1 x", "vlx:\\r1\\ 0 -", "vlx:\\r1\\program\\ 1 x"},
         2},
        {"d:\\data\\",
         false,
         {"c:\\ 0 -", "c:\\temp\\ 0 -", "vlx:\\ 1 x", "d:\\ 0 -", "d:\\data\\ 1 x"},
         2},
        {"", false, {"c:\\ 0 -", "c:\\temp\\ 0 -", "vlx:\\ 1 x"}, 0},
        // The load's form: the key path is cut off.
        {"Software\\X\\PreDefinedTree\\c:\\temp\\sub",
         true,
         {"c:\\ 0 -", "c:\\temp\\ 0 -", "c:\\temp\\sub\\ 1 x", "vlx:\\ 1 x"},
         1},
        {"Software\\X\\PreDefinedTree", true, {"c:\\ 0 -", "c:\\temp\\ 0 -", "vlx:\\ 1 x"}, 0},
    };
    for (const auto& c : cases) {
        PredefinedTree tree;
        tree.InsertPathIntoTree("c:\\temp", 0);
        tree.InsertPathIntoTree("vlx:", 1);
        const auto insertion =
            tree.InsertPathIntoTree(c.path, 1, c.strip, "Software\\X\\PreDefinedTree");
        EXPECT_EQ(Describe(tree), c.expected) << c.path;
        EXPECT_EQ(insertion.created.size(), c.created) << c.path;
    }
    EXPECT_EQ(PredefinedTree::SplitPath("a\\\\b\\"), (Lines{"a", "", "b"}));
}

TEST(PredefinedTreeTest, RemovalTakesTheSubtreeAndSyncResetsToggledChecks) {
    PredefinedTree tree;
    tree.InsertPathIntoTree("vlx:\\r1\\program", 1);
    tree.InsertPathIntoTree("vlx:\\r1\\system", 0);
    tree.InsertPathIntoTree("vlx:\\r2", 1);
    TreeNode* r1 = tree.FindTopLevel("VLX:")->FindChild("R1");
    ASSERT_NE(r1, nullptr);
    r1->checked = true;  // toggled by the user
    r1->FindChild("program")->checked = false;
    std::vector<std::string> changed;
    tree.SyncChecksFromFlags([&](const TreeNode& node) { changed.push_back(node.text); });
    EXPECT_EQ(changed, (Lines{"r1", "program"}));
    EXPECT_EQ(Describe(tree), (Lines{"vlx:\\ 0 -", "vlx:\\r1\\ 0 -", "vlx:\\r1\\program\\ 1 x",
                                     "vlx:\\r1\\system\\ 0 -", "vlx:\\r2\\ 1 x"}));
    tree.Remove(r1);
    EXPECT_EQ(Describe(tree), (Lines{"vlx:\\ 0 -", "vlx:\\r2\\ 1 x"}));
    // The name is free again.
    tree.InsertPathIntoTree("vlx:\\R1", 1);
    EXPECT_EQ(tree.CountNodes(), 3u);
}

// Keys as the file manager keeps them plus what the layout does not own: a foreign value on a
// node, a "ChangeAllowed" of 2, a key without "ChangeAllowed" above one that has it, keys that
// are no nodes at all (no value, a text "ChangeAllowed", a DWORD of the wrong size), a value of
// the PreDefinedTree key itself.
const std::string kStoredTree = TreeArea(
    "[T]\n\"Owner\"=\"setup\"\n"
    "[T\\c:]\n"
    "[T\\c:\\temp]\n\"ChangeAllowed\"=dword:00000002\n\"Comment\"=\"scratch\"\n"
    "[T\\c:\\temp\\notes]\n\"ChangeAllowed\"=\"1\"\n"
    "[T\\d:]\n\"ChangeAllowed\"=dword:00000000\n"
    "[T\\d:\\odd]\n\"ChangeAllowed\"=hex(4):01,00\n"
    "[T\\vlx:]\n\"ChangeAllowed\"=\"yes\"\n"
    "[T\\vlx:\\r1]\n\"ChangeAllowed\"=dword:00000001\n");

TEST(GeneralRegistryTest, LoadBuildsTheTreeAndApplyKeepsWhatIsNoNode) {
    TempRegistry reg(kStoredTree);
    ASSERT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kTree), kStoredTree);
    general::GeneralArea area;
    PredefinedTree& tree = area.tree;
    ASSERT_TRUE(GeneralRegistry::Load(area));
    EXPECT_EQ(Describe(tree),
              (Lines{"c:\\ 0 -", "c:\\temp\\ 2 x", "d:\\ 0 -", "vlx:\\ 0 -", "vlx:\\r1\\ 1 x"}));

    // Intermediate nodes get "ChangeAllowed" 0 (the text one gives way), a flag of 2 is
    // written as its check box; the rest comes back as it was.
    EXPECT_TRUE(GeneralRegistry::Save(area).Ok());
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kTree),
              TreeArea("[T]\n\"Owner\"=\"setup\"\n"
                       "[T\\c:]\n\"ChangeAllowed\"=dword:00000000\n"
                       "[T\\c:\\temp]\n\"ChangeAllowed\"=dword:00000001\n"
                       "\"Comment\"=\"scratch\"\n"
                       "[T\\c:\\temp\\notes]\n\"ChangeAllowed\"=\"1\"\n"
                       "[T\\d:]\n\"ChangeAllowed\"=dword:00000000\n"
                       "[T\\d:\\odd]\n\"ChangeAllowed\"=hex(4):01,00\n"
                       "[T\\vlx:]\n\"ChangeAllowed\"=dword:00000000\n"
                       "[T\\vlx:\\r1]\n\"ChangeAllowed\"=dword:00000001\n"));

    // A node added where a kept key lies takes that key over, foreign values and all; removing
    // a node removes what its key kept.
    tree.InsertPathIntoTree("c:\\temp\\notes\\old", 1);
    tree.Remove(tree.FindTopLevel("d:"));
    GeneralRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kTree),
              TreeArea("[T]\n\"Owner\"=\"setup\"\n"
                       "[T\\c:]\n\"ChangeAllowed\"=dword:00000000\n"
                       "[T\\c:\\temp]\n\"ChangeAllowed\"=dword:00000001\n"
                       "\"Comment\"=\"scratch\"\n"
                       "[T\\c:\\temp\\notes]\n\"ChangeAllowed\"=dword:00000000\n"
                       "[T\\c:\\temp\\notes\\old]\n\"ChangeAllowed\"=dword:00000001\n"
                       "[T\\vlx:]\n\"ChangeAllowed\"=dword:00000000\n"
                       "[T\\vlx:\\r1]\n\"ChangeAllowed\"=dword:00000001\n"));
}

TEST(GeneralRegistryTest, AnEmptiedTreeLeavesNoKeyAndAMissingOneLoadsEmpty) {
    TempRegistry reg(TreeArea("[T\\vlx:]\n\"ChangeAllowed\"=dword:00000001\n"));
    general::GeneralArea area;
    PredefinedTree& tree = area.tree;
    ASSERT_TRUE(GeneralRegistry::Load(area));
    tree.Remove(tree.FindTopLevel("vlx:"));
    GeneralRegistry::Save(area);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kTree));

    tree.InsertPathIntoTree("x", 1);
    EXPECT_FALSE(GeneralRegistry::Load(area));
    EXPECT_TRUE(tree.Empty());
}

TEST(GeneralRegistryTest, BackUpAndMirrorValuesKeepWhatAnEmptyFieldCannotReplace) {
    const std::string seed = "[HKEY_LOCAL_MACHINE\\" + kBackUp +
                             "]\n@=dword:00000007\n\"Archive\"=\"Disk\"\n\"Config\"=\"All\"\n"
                             "[HKEY_LOCAL_MACHINE\\" +
                             kFile + "]\n\"MirrorPath\"=\"d:\\\\mirror\"\n";
    TempRegistry reg(seed);
    general::GeneralArea area;
    GeneralValues& values = area.values;
    values.mirrorPath = "kept when the key is missing";
    GeneralRegistry::Load(area);
    EXPECT_EQ(values.archivePath, "");
    EXPECT_TRUE(values.archivePathUnreadable);
    EXPECT_EQ(values.backupConfig, "All");
    EXPECT_EQ(values.backupArchive, "Disk");
    EXPECT_EQ(values.mirrorPath, "d:\\mirror");

    // Emptied "Config" and "Archive" and an untouched unreadable archive path stay as stored;
    // an emptied mirror path is written empty.
    values.backupConfig.clear();
    values.backupArchive.clear();
    values.mirrorPath.clear();
    GeneralRegistry::Save(area);
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kBackUp),
              "[HKEY_LOCAL_MACHINE\\" + kBackUp +
                  "]\n@=dword:00000007\n\"Archive\"=\"Disk\"\n\"Config\"=\"All\"\n");
    EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, kFile),
              "[HKEY_LOCAL_MACHINE\\" + kFile + "]\n\"MirrorPath\"=\"\"\n");

    values.archivePath = "e:\\archive";
    values.backupConfig = std::string(300, 'c');  // longer than the load's buffer
    GeneralRegistry::Save(area);
    general::GeneralArea loadedAgain;
    GeneralRegistry::Load(loadedAgain);
    const GeneralValues& again = loadedAgain.values;
    EXPECT_EQ(again.archivePath, "e:\\archive");
    EXPECT_FALSE(again.archivePathUnreadable);
    EXPECT_EQ(again.backupConfig, std::string(300, 'c'));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kTree));
}

TEST(GeneralRegistryTest, MissingKeysAreNeitherReadNorCreated) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH]\n");
    general::GeneralArea area;
    GeneralValues& values = area.values;
    values.mirrorPath = "m";
    values.backupConfig = "c";
    EXPECT_FALSE(GeneralRegistry::Load(area));
    EXPECT_EQ(values.mirrorPath, "m");
    EXPECT_EQ(values.backupConfig, "c");
    GeneralRegistry::Save(area);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kBackUp));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kFile));
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kTree));
}

}  // namespace

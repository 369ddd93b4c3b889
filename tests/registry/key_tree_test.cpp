// The file store's compact key tree against the portable model: the same file read piece by
// piece into a KeyTree gives what ParseRegText and a RegTree give, byte for byte when written and
// word for word when refused; and the tree's own bookkeeping (name order, front removal, value
// index, arena compaction) keeps every name and byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "registry/key_tree.h"
#include "registry/reg_text.h"
#include "tests/support/reg_model.h"

namespace {

using registry::KeyTree;
using registry::RegFileFormat;
using registry::RegRoot;

// Hands out a text in pieces of 1, 2, ... `longest` bytes, so pieces end anywhere in a line.
class PieceSource : public registry::RegTextSource {
  public:
    PieceSource(std::string_view text, size_t longest) : text_(text), longest_(longest) {}
    size_t Read(char* buffer, size_t size) override {
        const size_t n = std::min({size, text_.size() - pos_, 1 + calls_++ % longest_});
        std::copy_n(text_.data() + pos_, n, buffer);
        pos_ += n;
        return n;
    }

  private:
    std::string_view text_;
    size_t longest_;
    size_t pos_ = 0;
    size_t calls_ = 0;
};

std::string Utf16(const std::string& text) {
    std::string out("\xFF\xFE", 2);
    for (char c : text) {
        const char16_t u = registry::Cp1252ToUnicode(static_cast<uint8_t>(c));
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

// What the portable model makes of a file: the error, or the file written back.
std::string ThroughModel(const std::string& bytes, const RegFileFormat& out) {
    registry::RegDocument doc;
    if (std::string err = registry::ParseRegText(bytes, "f.reg", &doc); !err.empty())
        return err;
    registry::RegTree tree;
    registry::ApplyRegEntries(doc.entries, &tree);
    return registry::WriteRegText(tree, out);
}

std::string ThroughKeyTree(const std::string& bytes, size_t piece, const RegFileFormat& out) {
    KeyTree tree;
    RegFileFormat format;
    PieceSource source(bytes, piece);
    if (std::string err = registry::ParseRegText(&source, "f.reg", &tree, &format); !err.empty())
        return err;
    return registry::WriteRegText(tree, out);
}

const std::string kBody =
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms]\r\n"
    "@=\"default\"\r\n"
    "\"Esc\\\"aped\"=\"a \\\"quoted\\\" C:\\\\path\\\\\"\r\n"
    "\"Number\"=DWORD:0001e240 ; comment\r\n"
    "\"Expand\"=hex(2):25,00,50,00,25,00,00,00\r\n"
    "\"Long name that a continuation must keep\"=hex:00,01,02,03,04,05,06,07,08,09,0a,\\\r\n"
    "  0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,\\\r\n"
    "  23\r\n"
    "\"Removed\"=\"x\"\r\n"
    "\"removed\"=-\r\n"
    "\"NUMBER\"=dword:7\r\n"
    "\r\n"
    "[hkey_local_machine\\software\\vorna roboter gmbh\\FORMS\\b]\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms\\A\\Deep]\r\n"
    "\"v\"=\"caf\xe9 \x80\"\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms\\Gone\\Deep]\r\n"
    "[-HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms\\Gone]\r\n"
    "[HKCU\\Software\\VB and VBA Program Settings]\r\n"
    "\"User\"=\"u\"";

TEST(KeyTreeParse, ReadInPiecesItGivesWhatTheModelGives) {
    struct Case {
        std::string name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"REGEDIT4", "REGEDIT4\r\n\r\n" + kBody},
        {"version 5, UTF-16", Utf16("Windows Registry Editor Version 5.00\r\n\r\n" + kBody)},
        {"LF only, no last line end", "REGEDIT4\n[HKEY_USERS\\.DEFAULT]\n\"a\"=hex:01,\\\n  02"},
        {"continuation at the end", "REGEDIT4\r\n[HKEY_USERS\\X]\r\n\"a\"=hex:01,\\\r\n"},
        {"bad escape", "REGEDIT4\r\n[HKEY_USERS\\X]\r\n\"a\\n\"=\"\"\r\n"},
        {"bad byte on a continuation line",
         "REGEDIT4\r\n[HKEY_USERS\\X]\r\n\"a\"=hex:01,\\\r\n zz"},
        {"value under a deleted key", "REGEDIT4\r\n[-HKEY_USERS\\X]\r\n\"a\"=\"\"\r\n"},
        {"no header", "REGEDIT5\r\n"},
        {"empty", ""},
        {"UTF-8", "\xEF\xBB\xBFREGEDIT4\r\n"},
        {"UTF-16, half a character", Utf16("REGEDIT4\r\n\"x") + "A"},
        {"UTF-16, no Windows-1252 byte", Utf16("REGEDIT4\r\n[HKEY_USERS\\X]\r\n") + "\x3A\x26"},
        {"UTF-16, both faults: the size counts", Utf16("REGEDIT4\r\n") + "\x3A\x26" + "A"},
    };
    for (const Case& c : cases) {
        for (const RegFileFormat& out : {RegFileFormat{}, RegFileFormat{true, true}}) {
            const std::string expected = ThroughModel(c.bytes, out);
            for (size_t piece : {1, 3, 7, 64, 4096})
                EXPECT_EQ(ThroughKeyTree(c.bytes, piece, out), expected)
                    << c.name << ", pieces up to " << piece;
        }
    }
    // And read whole, as well as a string.
    KeyTree tree;
    RegFileFormat format;
    const std::string file = "REGEDIT4\r\n\r\n" + kBody;
    ASSERT_EQ(registry::ParseRegText(file, "f.reg", &tree, &format), "");
    EXPECT_EQ(registry::WriteRegText(tree, format), ThroughModel(file, format));
}

TEST(KeyTreeEdit, OrderRemovalIndexAndCompactionKeepEveryNameAndByte) {
    KeyTree tree;
    const KeyTree::Node root = KeyTree::Root(RegRoot::LocalMachine);
    std::vector<std::string> names = {"b", "_z", "A", "a_", "aB", "\xc4rger", "Zulu", "\xe4rger"};
    for (const std::string& n : names)
        tree.AddSubkey(root, n);
    names.pop_back();  // "\xe4rger" is the same key as "\xc4rger"
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return registry::CompareNames(a, b) < 0;
    });
    ASSERT_EQ(tree.SubkeyCount(root), names.size());
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(tree.Name(tree.SubkeyAt(root, i)), names[i]);
    EXPECT_EQ(tree.FindSubkey(root, "ZULU"), tree.SubkeyAt(root, 4));

    // Many values: looked up by any spelling through the index, replaced in place, removed.
    const KeyTree::Node key = tree.AddSubkey(tree.SubkeyAt(root, 0), "Values");
    const std::vector<uint8_t> big(300000, 7);
    for (int i = 0; i < 40; ++i) {
        const std::string data = "data " + std::to_string(i);
        tree.SetValue(key, "Name" + std::to_string(i), 1,
                      reinterpret_cast<const uint8_t*>(data.c_str()), data.size() + 1);
        tree.SetValue(key, "Big" + std::to_string(i), 3, big.data(), big.size());
    }
    const uint8_t one[] = {1, 0, 0, 0};
    tree.SetValue(key, "NAME7", 4, one, 4);
    EXPECT_TRUE(tree.RemoveValue(key, "name3"));
    EXPECT_FALSE(tree.RemoveValue(key, "name3"));
    for (int i = 0; i < 40; ++i)
        tree.RemoveValue(key, "big" + std::to_string(i));
    // Front removal again and again, as a depth-first delete does.
    while (tree.SubkeyCount(root) > 1)
        tree.RemoveSubkey(root, tree.SubkeyAt(root, 1));
    tree.CompactIfWasteful();

    ASSERT_EQ(tree.ValueCount(key), 39u);
    EXPECT_EQ(tree.ValueAt(key, 0).name, "Name0");
    EXPECT_EQ(tree.ValueAt(key, 3).name, "Name4");
    const long seven = tree.FindValue(key, "name7");
    ASSERT_EQ(seven, 6);
    EXPECT_EQ(tree.ValueAt(key, 6).name, "Name7") << "the first spelling stays";
    EXPECT_EQ(tree.ValueAt(key, 6).type, 4u);
    EXPECT_EQ(std::vector<uint8_t>(tree.ValueAt(key, 6).data, tree.ValueAt(key, 6).data + 4),
              std::vector<uint8_t>(one, one + 4));
    const KeyTree::ValueView last = tree.ValueAt(key, 38);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(last.data), last.size),
              std::string("data 39\0", 8));
    EXPECT_LT(tree.ArenaBytes(), 100000u) << "the removed data's space is given back";
    EXPECT_EQ(tree.Name(tree.SubkeyAt(root, 0)), "A");
    EXPECT_EQ(tree.FindSubkey(tree.SubkeyAt(root, 0), "values"), key);
}

TEST(KeyTreeEdit, CompactionAfterAHugeKeyGoesKeepsTheRestWhole) {
    KeyTree tree;
    const KeyTree::Node root = KeyTree::Root(RegRoot::LocalMachine);
    // Keys added out of order, so their subkey ranges move, with enough values for an index.
    for (int i = 0; i < 300; ++i) {
        const KeyTree::Node parent = tree.AddSubkey(root, "Parent " + std::to_string(i * 7 % 300));
        const KeyTree::Node child = tree.AddSubkey(parent, "Child " + std::to_string(i % 13));
        for (int v = 0; v < 1 + i % 20; ++v) {
            const std::string data = std::to_string(i * 100 + v);
            tree.SetValue(child, "Value " + std::to_string(v), 1,
                          reinterpret_cast<const uint8_t*>(data.c_str()), data.size() + 1);
        }
    }
    const std::string before = registry::WriteRegText(tree, {});

    // A key far larger than the rest, then removed: every pool is mostly garbage.
    const KeyTree::Node huge = tree.AddSubkey(root, "Huge");
    for (int i = 0; i < 300000; ++i)
        tree.AddSubkey(huge, "k" + std::to_string(1000000 + i));
    const uint8_t one[] = {1, 0, 0, 0};
    for (int i = 0; i < 150000; ++i)
        tree.SetValue(huge, "v" + std::to_string(i), 4, one, 4);
    ASSERT_EQ(tree.SubkeyCount(huge), 300000u);
    ASSERT_EQ(tree.FindValue(huge, "V149999"), 149999);
    tree.RemoveSubkey(root, huge);
    tree.CompactIfWasteful();

    EXPECT_EQ(registry::WriteRegText(tree, {}), before);
    EXPECT_LT(tree.ArenaBytes(), 200000u);
    // The value indexes still find every spelling; a replaced value keeps its place.
    const KeyTree::Node key =
        tree.FindSubkey(tree.FindSubkey(root, "PARENT 19"), "child 9");  // i = 217
    ASSERT_NE(key, KeyTree::kNoNode);
    ASSERT_EQ(tree.ValueCount(key), 18u);
    tree.SetValue(key, "VALUE 10", 4, one, 4);
    EXPECT_EQ(tree.ValueCount(key), 18u);
    EXPECT_EQ(tree.FindValue(key, "value 10"), 10);
    EXPECT_EQ(tree.ValueAt(key, 10).type, 4u);
    EXPECT_TRUE(tree.RemoveValue(key, "value 0"));
    EXPECT_EQ(tree.FindValue(key, "Value 17"), 16);
}

}  // namespace

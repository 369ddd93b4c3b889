// The .reg text format: every form the registry editor writes, in both formats, lossless
// round trips, and refusal of malformed text with file, line and reason.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/reg_text.h"
#include "tests/support/reg_model.h"

namespace {

using registry::ApplyRegEntries;
using registry::ParseRegText;
using registry::RegDocument;
using registry::RegFileFormat;
using registry::RegKeyNode;
using registry::RegRoot;
using registry::RegTree;
using registry::RegValue;
using registry::WriteRegText;

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<uint8_t> out;
    for (int b : list)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

// 8-bit text as a UTF-16LE file with byte-order mark.
std::string Utf16File(const std::string& text) {
    std::string out("\xFF\xFE", 2);
    for (char c : text) {
        char16_t u = registry::Cp1252ToUnicode(static_cast<uint8_t>(c));
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

std::unique_ptr<RegTree> Load(const std::string& bytes, RegDocument* doc = nullptr) {
    RegDocument local;
    RegDocument* d = doc ? doc : &local;
    std::string err = ParseRegText(bytes, "test.reg", d);
    EXPECT_EQ(err, "");
    auto tree = std::make_unique<RegTree>();
    ApplyRegEntries(d->entries, tree.get());
    return tree;
}

const RegKeyNode* Find(const RegTree& tree, RegRoot root, const std::vector<std::string>& path) {
    const RegKeyNode* node = &tree.Root(root);
    for (const std::string& p : path) {
        node = node->FindSubkey(p);
        if (!node)
            return nullptr;
    }
    return node;
}

// Flattens a tree into comparable text that shows every name, type and byte.
void Dump(const RegKeyNode& key, const std::string& path, std::string* out) {
    *out += "[" + path + "]\n";
    for (const RegValue& v : key.Values()) {
        *out += "'" + v.name + "' type " + std::to_string(v.type) + ":";
        for (uint8_t b : v.data)
            *out += " " + std::to_string(b);
        *out += "\n";
    }
    for (const auto& [name, child] : key.Subkeys())
        Dump(*child, path + "\\" + child->Name(), out);
}

std::string Dump(const RegTree& tree) {
    std::string out;
    for (int i = 0; i < registry::kRegRootCount; ++i)
        Dump(tree.roots[i], registry::RegRootName(static_cast<RegRoot>(i)), &out);
    return out;
}

// Every form, written the way the registry editor writes it.
const char kEveryForm[] =
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms]\r\n"
    "@=\"default\"\r\n"
    "\"Escaped\"=\"a \\\"quoted\\\" C:\\\\path\\\\\"\r\n"
    "\"Empty\"=\"\"\r\n"
    "\"Number\"=dword:0001e240\r\n"
    "\"Binary\"=hex:00,01,7f,80,ff\r\n"
    "\"Expand\"=hex(2):25,00,50,00,25,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
    "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19\r\n"
    "; a comment line\r\n"
    "\"Removed\"=\"x\"\r\n"
    "\"Removed\"=-\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms\\Gone\\Deep]\r\n"
    "\r\n"
    "[-HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Forms\\Gone]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\r\n"
    "\"User\"=\"caf\xe9 \x80\"\r\n";

void ExpectEveryForm(const RegTree& tree) {
    const RegKeyNode* forms =
        Find(tree, RegRoot::LocalMachine, {"software", "VORNA ROBOTER GMBH", "forms"});
    ASSERT_NE(forms, nullptr);
    EXPECT_EQ(forms->Name(), "Forms");
    auto value = [&](const char* name) -> std::pair<uint32_t, std::vector<uint8_t>> {
        const RegValue* v = forms->FindValue(name);
        EXPECT_NE(v, nullptr) << name;
        return v ? std::make_pair(v->type, v->data) : std::make_pair(0u, std::vector<uint8_t>{});
    };
    EXPECT_EQ(value(""), std::make_pair(1u, Bytes({'d', 'e', 'f', 'a', 'u', 'l', 't', 0})));
    const std::string escaped = "a \"quoted\" C:\\path\\";
    std::vector<uint8_t> escapedBytes(escaped.begin(), escaped.end());
    escapedBytes.push_back(0);
    EXPECT_EQ(value("Escaped"), std::make_pair(1u, escapedBytes));
    EXPECT_EQ(value("Empty"), std::make_pair(1u, Bytes({0})));
    EXPECT_EQ(value("Number"), std::make_pair(4u, Bytes({0x40, 0xe2, 0x01, 0})));
    EXPECT_EQ(value("Binary"), std::make_pair(3u, Bytes({0, 1, 0x7f, 0x80, 0xff})));
    EXPECT_EQ(value("Qword"), std::make_pair(11u, Bytes({1, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_EQ(value("Long").second.size(), 26u);
    EXPECT_EQ(value("Long").second.back(), 0x19);
    EXPECT_EQ(forms->FindValue("Removed"), nullptr);
    EXPECT_EQ(forms->FindSubkey("Gone"), nullptr);
    const RegKeyNode* vb =
        Find(tree, RegRoot::CurrentUser, {"Software", "VB and VBA Program Settings"});
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(vb->FindValue("user")->data, Bytes({'c', 'a', 'f', 0xe9, ' ', 0x80, 0}));
}

TEST(RegTextParse, Regedit4ReadsEveryForm) {
    RegDocument doc;
    auto tree = Load(std::string("REGEDIT4\r\n\r\n") + kEveryForm, &doc);
    EXPECT_EQ(doc.format, (RegFileFormat{false, false}));
    ExpectEveryForm(*tree);
    // REGEDIT4 string data in hex is 8-bit.
    const RegKeyNode* forms =
        Find(*tree, RegRoot::LocalMachine, {"Software", "VORNA Roboter GmbH", "Forms"});
    EXPECT_EQ(forms->FindValue("Expand")->data, Bytes({0x25, 0, 0x50, 0, 0x25, 0, 0, 0}));
}

TEST(RegTextParse, Version5Utf16ReadsEveryFormWithStringDataConverted) {
    RegDocument doc;
    auto tree = Load(
        Utf16File(std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kEveryForm), &doc);
    EXPECT_EQ(doc.format, (RegFileFormat{true, true}));
    ExpectEveryForm(*tree);
    const RegKeyNode* forms =
        Find(*tree, RegRoot::LocalMachine, {"Software", "VORNA Roboter GmbH", "Forms"});
    EXPECT_EQ(forms->FindValue("Expand")->data, Bytes({'%', 'P', '%', 0}));
    EXPECT_EQ(forms->FindValue("Multi")->data, Bytes({'a', 0, 'b', 0, 0}));
    // Binary data is never converted.
    EXPECT_EQ(forms->FindValue("Binary")->data, Bytes({0, 1, 0x7f, 0x80, 0xff}));
}

TEST(RegTextParse, LenientWhereTheEditorIsLenient) {
    auto tree = Load(
        "REGEDIT4   \n"
        "   [HKLM\\Software\\X]  \n"
        "  \"a\" = dword:2a ; trailing comment\n"
        "\"b\"=HEX:1,2 ,\\\n"
        "  3\n"
        "\"c\"=hex(0):\n");
    const RegKeyNode* x = Find(*tree, RegRoot::LocalMachine, {"Software", "X"});
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->FindValue("a")->data, Bytes({42, 0, 0, 0}));
    EXPECT_EQ(x->FindValue("c")->type, 0u);
    EXPECT_TRUE(x->FindValue("c")->data.empty());
    EXPECT_EQ(x->FindValue("b")->data, Bytes({1, 2, 3}));
}

TEST(RegTextParse, CompactValueLinesReadAsTheirSpacedForms) {
    // The compact forms the editor writes, read in one pass, against the same value written with
    // blanks around '=' (read by the full rules): the same entries, or the same error.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\"a\"", "\"text\""},
        {"\"\"", "\"\""},
        {"\"a b\"", "dword:0"},
        {"\"a\"", "dword:DEADbeef"},
        {"\"a\"", "dword:123456789"},
        {"\"a\"", "dword:"},
        {"\"a\"", "dword:12g"},
        {"\"a\"", "DWORD:1"},
        {"\"a\"", "\"x\\\"y\""},
        {"\"a\"", "\"x\\\\\""},
        {"\"a\"", "\"x\" ;comment"},
        {"\"a\"", "\"x\"y"},
        {"\"a\"", "\"unterminated"},
        {"\"C:\\\\dir\\\\\"", "\"v\""},
        {"\"bad\\escape\"", "\"v\""},
        {"\"caf\xe9\"", "\"\xe9t\xe9\""},
        {"\"a\"", "-"},
        {"@", "\"default\""},
    };
    auto read = [](const std::string& line) {
        RegDocument doc;
        const std::string file = "REGEDIT4\r\n[HKEY_USERS\\X]\r\n\"x\"=\"1\"\r\n" + line + "\r\n";
        std::string result = ParseRegText(file, "t.reg", &doc);
        for (const registry::RegEntry& e : doc.entries)
            result += "|" + std::to_string(static_cast<int>(e.kind)) + ":" + e.valueName + ":" +
                      std::to_string(e.type) + ":" + std::string(e.data.begin(), e.data.end());
        return result;
    };
    for (const auto& [name, data] : cases)
        EXPECT_EQ(read(name + "=" + data), read(name + " = " + data)) << name << "=" << data;
}

TEST(RegTextParse, ValuesKeepFirstOrderAndFirstCaseOfNames) {
    auto tree = Load(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"Zeta\"=\"1\"\n\"alpha\"=\"2\"\n"
        "\"ZETA\"=\"3\"\n[HKEY_LOCAL_MACHINE\\a\\B]\n");
    const RegKeyNode* a = Find(*tree, RegRoot::LocalMachine, {"A"});
    ASSERT_EQ(a->Values().size(), 2u);
    EXPECT_EQ(a->Values()[0].name, "Zeta");
    EXPECT_EQ(a->Values()[0].data, Bytes({'3', 0}));
    EXPECT_EQ(a->Values()[1].name, "alpha");
    EXPECT_EQ(a->Name(), "A");
    EXPECT_NE(a->FindSubkey("b"), nullptr);
}

TEST(RegTextNames, CompareAsTheRegistryDoes) {
    EXPECT_TRUE(registry::NamesEqual("Vorna Roboter GmbH", "VORNA ROBOTER GMBH"));
    EXPECT_TRUE(registry::NamesEqual("caf\xe9", "CAF\xc9"));  // é / É
    EXPECT_FALSE(registry::NamesEqual("a", "a "));
    // Upper-cased comparison: '_' sorts after letters, as in the registry.
    std::vector<std::string> names = {"b", "_z", "A", "a_", "aB"};
    std::sort(names.begin(), names.end(), registry::NameLess());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "aB", "a_", "b", "_z"}));
}

// ---- Round trips ----

class RegTextRoundTrip : public ::testing::TestWithParam<RegFileFormat> {};

TEST_P(RegTextRoundTrip, EveryValueKeepsItsTypeAndBytes) {
    RegTree tree;
    RegKeyNode* key = tree.Root(RegRoot::LocalMachine).AddSubkey("Software")->AddSubkey("Trip");
    key->SetValue("", 1, Bytes({'d', 0}));
    key->SetValue("Text", 1, Bytes({'a', 'b', 'c', 0}));
    key->SetValue("NoZero", 1, Bytes({'a', 'b', 'c'}));
    key->SetValue("EmbeddedZero", 1, Bytes({'a', 0, 'b', 0}));
    key->SetValue("TwoZeros", 1, Bytes({'a', 0, 0}));
    key->SetValue("EmptySz", 1, {});
    key->SetValue("LineBreak", 1, Bytes({'a', '\r', '\n', 'b', 0}));
    key->SetValue("Control", 1, Bytes({'a', 1, 0x7f, 0}));
    key->SetValue("Tab\tName", 1, Bytes({'a', '\t', 'b', 0}));
    key->SetValue("HighBytes", 1, Bytes({0x80, 0x81, 0x8d, 0x9f, 0xe9, 0xff, 0}));
    key->SetValue("Quote\"Back\\slash", 1, Bytes({'"', '\\', 0}));
    key->SetValue("Expand", 2, Bytes({'%', 'x', '%', 0}));
    key->SetValue("ExpandNoZero", 2, Bytes({'x'}));
    key->SetValue("Multi", 7, Bytes({'a', 0, 'b', 0, 0}));
    key->SetValue("Dword", 4, Bytes({1, 2, 3, 4}));
    key->SetValue("ShortDword", 4, Bytes({1, 2}));
    key->SetValue("Binary", 3, Bytes({0, 0xff, 0x10}));
    key->SetValue("None", 0, {});
    key->SetValue("Qword", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    key->SetValue("Unusual", 0x12345, Bytes({9}));
    std::vector<uint8_t> large(1000);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<uint8_t>(i * 7);
    key->SetValue("Large", 3, large);
    key->AddSubkey("Empty Key");
    key->AddSubkey("caf\xe9 ]name[");
    tree.Root(RegRoot::LocalMachine).SetValue("RootValue", 4, Bytes({0, 0, 0, 0}));
    tree.Root(RegRoot::CurrentUser).AddSubkey("Software")->SetValue("u", 1, Bytes({'u', 0}));
    tree.Root(RegRoot::Users).AddSubkey(".DEFAULT");

    const std::string written = WriteRegText(tree, GetParam());
    RegDocument doc;
    ASSERT_EQ(ParseRegText(written, "trip.reg", &doc), "");
    EXPECT_EQ(doc.format, GetParam());
    RegTree back;
    ApplyRegEntries(doc.entries, &back);
    EXPECT_EQ(Dump(back), Dump(tree));
    // And the text is stable: writing what was read gives the same bytes.
    EXPECT_EQ(WriteRegText(back, GetParam()), written);
}

INSTANTIATE_TEST_SUITE_P(Formats, RegTextRoundTrip,
                         ::testing::Values(RegFileFormat{false, false}, RegFileFormat{true, true},
                                           RegFileFormat{true, false}));

TEST(RegTextWrite, LooksLikeTheEditorsOutput) {
    RegTree tree;
    RegKeyNode* key =
        tree.Root(RegRoot::LocalMachine).AddSubkey("Software")->AddSubkey("VORNA Roboter GmbH");
    key->SetValue("Name", 1, Bytes({'x', 0}));
    key->SetValue("Width", 4, Bytes({100, 0, 0, 0}));
    key->SetValue("NoZero", 1, Bytes({'x'}));
    EXPECT_EQ(WriteRegText(tree, {}),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH]\r\n"
              "\"Name\"=\"x\"\r\n"
              "\"Width\"=dword:00000064\r\n"
              "\"NoZero\"=hex(1):78\r\n\r\n");
    const std::string v5 = WriteRegText(tree, {true, true});
    ASSERT_GE(v5.size(), 4u);
    EXPECT_EQ(v5.substr(0, 4), std::string("\xFF\xFEW\0", 4));
    // In a version 5 file string data in hex is UTF-16.
    EXPECT_NE(v5.find(std::string("h\0e\0x\0(\0"
                                  "1\0)\0:\0"
                                  "7\0"
                                  "8\0,\0"
                                  "0\0"
                                  "0\0",
                                  24)),
              std::string::npos);
}

// ---- Malformed text ----

struct Malformed {
    const char* text;
    int line;
    const char* reason;
};

class RegTextMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(RegTextMalformed, IsRefusedNamingFileLineAndReason) {
    RegDocument doc;
    const std::string err = ParseRegText(GetParam().text, "/some/dir/bad.reg", &doc);
    EXPECT_NE(err.find("/some/dir/bad.reg"), std::string::npos) << err;
    if (GetParam().line > 0) {
        EXPECT_NE(err.find("line " + std::to_string(GetParam().line) + ":"), std::string::npos)
            << err;
    }
    EXPECT_NE(err.find(GetParam().reason), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegTextMalformed,
    ::testing::Values(
        Malformed{"", 0, "empty"}, Malformed{"[HKEY_LOCAL_MACHINE\\A]\n", 1, "first line"},
        Malformed{"REGEDIT5\n", 1, "first line"}, Malformed{"\xEF\xBB\xBFREGEDIT4\n", 1, "UTF-8"},
        Malformed{"REGEDIT4\n\"a\"=\"b\"\n", 2, "before the first key"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2, "must end with ']'"},
        Malformed{"REGEDIT4\n[HKEY_NOWHERE\\A]\n", 2, "unknown root key"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 2, "empty key name"},
        Malformed{"REGEDIT4\n[-HKEY_LOCAL_MACHINE]\n", 2, "root key cannot be deleted"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\n", 3, "missing closing quote"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"C:\\temp\"\n", 3,
                  "unknown escape sequence"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"\"b\"\n", 3, "'=' expected"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:123456789\n", 3, "dword:"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:\n", 3, "dword:"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,zz\n", 3, "hexadecimal byte"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01 02\n", 3, "',' expected"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex(z):01\n", 3, "hex(N)"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,\\\n  02,\\\n", 4,
                  "continuation at the end"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=text\n", 3, "unrecognised value"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\" c\n", 3, "after the value"},
        Malformed{"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\"\n", 3, "deletes"},
        Malformed{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nnonsense\n", 3, "unexpected text"}));

TEST(RegTextMalformedUtf16, CharactersOutsideWindows1252AreRefusedWithTheirLine) {
    std::string file = Utf16File(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"");
    file += std::string("\x3A\x04", 2);  // U+043A, Cyrillic
    file += Utf16File("\"\r\n").substr(2);
    RegDocument doc;
    const std::string err = ParseRegText(file, "u.reg", &doc);
    EXPECT_NE(err.find("u.reg, line 4:"), std::string::npos) << err;
    EXPECT_NE(err.find("U+043A"), std::string::npos) << err;

    // The same in UTF-16 string data written as hex.
    doc = {};
    const std::string hexErr =
        ParseRegText(Utf16File("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
                               "\"a\"=hex(1):3a,04,00,00\r\n"),
                     "u.reg", &doc);
    EXPECT_NE(hexErr.find("line 3:"), std::string::npos) << hexErr;
    EXPECT_NE(hexErr.find("U+043A"), std::string::npos) << hexErr;

    const std::string oddErr =
        ParseRegText(Utf16File("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
                               "\"a\"=hex(2):41,00,00\r\n"),
                     "u.reg", &doc);
    EXPECT_NE(oddErr.find("odd length"), std::string::npos) << oddErr;

    std::string half = Utf16File("REGEDIT4\r\n");
    half.push_back('A');
    EXPECT_NE(ParseRegText(half, "u.reg", &doc).find("half a character"), std::string::npos);
}

TEST(RegTextCodePage, EveryByteMapsToOneCodePointAndBack) {
    for (int b = 0; b < 256; ++b) {
        uint8_t back = 0;
        ASSERT_TRUE(
            registry::UnicodeToCp1252(registry::Cp1252ToUnicode(static_cast<uint8_t>(b)), &back));
        EXPECT_EQ(back, b);
    }
    EXPECT_EQ(registry::Cp1252ToUnicode(0x80), u'\u20AC');
    uint8_t byte = 0;
    EXPECT_FALSE(registry::UnicodeToCp1252(u'\u043A', &byte));
}

}  // namespace

// Files a controller may hand over: malformed or truncated ones are refused with the file, the
// line and the reason, and stay exactly as they were; odd but valid ones load as the registry
// editor reads them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "registry/file_store.h"
#include "registry/reg_text.h"
#include "registry/registry_store.h"
#include "tests/support/registry_fixture.h"

namespace {

namespace fs = std::filesystem;

const std::string kHead = "REGEDIT4\r\n\r\n";
const std::string kKey = "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n";

// 8-bit text as a UTF-16LE file with byte-order mark; `raw` units are spliced in at each '~'.
std::string Utf16(const std::string& text, const std::vector<char16_t>& raw = {}) {
    std::string out("\xFF\xFE", 2);
    size_t next = 0;
    for (char c : text) {
        char16_t u = registry::Cp1252ToUnicode(static_cast<uint8_t>(c));
        if (c == '~' && next < raw.size())
            u = raw[next++];
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

std::string Garbage(unsigned seed, size_t size) {
    std::mt19937 random(seed);
    std::string out;
    for (size_t i = 0; i < size; ++i)
        out.push_back(static_cast<char>(random() & 0xFF));
    out[0] = 0x01;  // neither a byte-order mark nor a header
    return out;
}

std::string DeepPath(int levels, int longAt = -1) {
    std::string path = "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < levels; ++i)
        path += "\\" + (i == longAt ? std::string(256, 'n') : "k" + std::to_string(i % 10));
    return path;
}

// A wrapped hex value of `bytes` bytes, as the editor writes it, and the number of its lines.
std::string WrappedHex(size_t bytes, int* lines) {
    std::string out = "\"Big\"=hex:";
    *lines = 1;
    for (size_t i = 0; i < bytes; ++i) {
        out += "ab";
        if (i + 1 < bytes) {
            out += ",";
            if (i % 25 == 24) {
                out += "\\\r\n  ";
                ++*lines;
            }
        }
    }
    return out;
}

struct BadFile {
    std::string what;
    std::string bytes;
    int line;  // 0: the file as a whole
    std::string reason;
};

std::vector<BadFile> BadFiles() {
    const std::string v5 = "Windows Registry Editor Version 5.00\r\n\r\n";
    int hexLines = 0;
    const std::string bigHex = WrappedHex(200000, &hexLines);
    std::vector<BadFile> files = {
        // Headers.
        {"empty", "", 0, "empty"},
        {"header cut short", "REGEDIT", 1, "first line"},
        {"wrong version", "REGEDIT5\r\n", 1, "first line"},
        {"wrong version 5", "Windows Registry Editor Version 5.01\r\n" + kKey, 1, "first line"},
        {"lower-case header", "regedit4\r\n" + kKey, 1, "first line"},
        {"blank line first", "\r\n" + kHead + kKey, 1, "first line"},
        {"no header", kKey + "\"a\"=\"b\"\r\n", 1, "first line"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + kHead, 1, "UTF-8"},
        {"big-endian UTF-16", "\xFE\xFF\0R", 0, "big-endian"},
        {"UTF-16 with a wrong header", Utf16("REGEDIT5\r\n" + kKey), 1, "first line"},
        {"UTF-16 byte-order mark alone", "\xFF\xFE", 1, "first line"},
        // Key lines.
        {"key line without its bracket",
         kHead + "[HKEY_LOCAL_MACHINE\\Software\\A\r\n\"a\"=\"b\"\r\n", 3, "must end with ']'"},
        {"key line without its opening bracket", kHead + "HKEY_LOCAL_MACHINE\\Software]\r\n", 3,
         "unexpected text"},
        {"bracket alone", kHead + "[\r\n", 3, "must end with ']'"},
        {"unknown root", kHead + "[HKEY_NOWHERE\\Software]\r\n", 3, "unknown root key"},
        {"no root", kHead + "[\\Software]\r\n", 3, "unknown root key"},
        {"doubled backslash", kHead + "[HKEY_LOCAL_MACHINE\\A\\\\B]\r\n", 3, "empty key name"},
        {"trailing backslash", kHead + "[HKEY_LOCAL_MACHINE\\A\\]\r\n", 3, "empty key name"},
        {"key name of 256 characters",
         kHead + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'x') + "]\r\n", 3, "longer than 255"},
        {"root deleted", kHead + "[-HKEY_LOCAL_MACHINE]\r\n", 3, "root key cannot be deleted"},
        {"key line cut short", kHead + "[HKEY_LOCAL_MACHINE\\Soft", 3, "must end with ']'"},
        // Value lines.
        {"value before any key", kHead + "\"a\"=\"b\"\r\n", 3, "before the first key"},
        {"value under a deleted key", kHead + "[-HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"b\"\r\n", 4,
         "deletes"},
        {"unterminated data", kHead + kKey + "\"a\"=\"b\r\n", 4, "missing closing quote"},
        {"unterminated name", kHead + kKey + "\"a=\"b\"\r\n", 4, "'=' expected"},
        {"unterminated name at the end", kHead + kKey + "\"abc", 4, "missing closing quote"},
        {"unknown escape", kHead + kKey + "\"a\"=\"C:\\temp\"\r\n", 4, "unknown escape"},
        {"escape at the end", kHead + kKey + "\"a\"=\"b\\", 4, "missing closing quote"},
        {"no equals sign", kHead + kKey + "\"a\"\"b\"\r\n", 4, "'=' expected"},
        {"no data", kHead + kKey + "\"a\"=\r\n", 4, "unrecognised value"},
        {"bare word", kHead + kKey + "\"a\"=text\r\n", 4, "unrecognised value"},
        {"text after the string", kHead + kKey + "\"a\"=\"b\" c\r\n", 4, "after the value"},
        {"dword of 9 digits", kHead + kKey + "\"a\"=dword:123456789\r\n", 4, "dword:"},
        {"dword without digits", kHead + kKey + "\"a\"=dword:\r\n", 4, "dword:"},
        {"dword not hexadecimal", kHead + kKey + "\"a\"=dword:xyz\r\n", 4, "dword:"},
        {"dword with a blank", kHead + kKey + "\"a\"=dword:12 34\r\n", 4, "after the value"},
        {"dword cut short", kHead + kKey + "\"a\"=dwo", 4, "unrecognised value"},
        {"bad hex byte", kHead + kKey + "\"a\"=hex:01,zz\r\n", 4, "hexadecimal byte"},
        {"hex without commas", kHead + kKey + "\"a\"=hex:01 02\r\n", 4, "',' expected"},
        {"hex bytes run together", kHead + kKey + "\"a\"=hex:0102\r\n", 4, "',' expected"},
        {"doubled comma", kHead + kKey + "\"a\"=hex:01,,02\r\n", 4, "hexadecimal byte"},
        {"bad hex type", kHead + kKey + "\"a\"=hex(z):01\r\n", 4, "hex(N)"},
        {"hex type unclosed", kHead + kKey + "\"a\"=hex(2:01\r\n", 4, "hex(N)"},
        {"hex type too long", kHead + kKey + "\"a\"=hex(123456789):01\r\n", 4, "hex(N)"},
        {"hex without colon", kHead + kKey + "\"a\"=hex 01\r\n", 4, "':' expected"},
        {"continuation at the end", kHead + kKey + "\"a\"=hex:01,\\\r\n  02,\\\r\n", 5,
         "continuation at the end"},
        {"continuation into comments only", kHead + kKey + "\"a\"=hex:01,\\\r\n; more\r\n", 4,
         "continuation at the end"},
        {"bad byte in a continuation", kHead + kKey + "\"a\"=hex:01,\\\r\n  02,\\\r\n  0g\r\n", 6,
         "hexadecimal byte"},
        {"stray text", kHead + kKey + "nonsense\r\n", 4, "unexpected text"},
        // Version 5 string data, odd-length and unpaired UTF-16.
        {"odd-length UTF-16 file", Utf16(v5 + kKey) + "A", 0, "half a character"},
        {"odd-length string data", Utf16(v5 + kKey + "\"a\"=hex(2):41,00,00\r\n"), 4, "odd length"},
        {"odd-length multi-string", v5 + kKey + "\"a\"=hex(7):41,00,42\r\n", 4, "odd length"},
        {"unpaired high surrogate", Utf16(v5 + kKey + "\"a\"=\"x~y\"\r\n", {0xD800}), 4, "U+D800"},
        {"unpaired low surrogate in a key", Utf16(v5 + "[HKEY_LOCAL_MACHINE\\~]\r\n", {0xDC00}), 3,
         "U+DC00"},
        {"surrogate pair", Utf16(v5 + kKey + "\"~~\"=\"\"\r\n", {0xD83D, 0xDE00}), 4, "U+D83D"},
        {"character outside the code page", Utf16(v5 + kKey + "\"a\"=\"~\"\r\n", {0x043A}), 4,
         "U+043A"},
        {"surrogate in string data", Utf16(v5 + kKey + "\"a\"=hex(1):00,d8,00,00\r\n"), 4,
         "U+D800"},
        {"UTF-16 with CR-only lines",
         Utf16(v5 + "\r[HKEY_LOCAL_MACHINE\\A]\r\"~\"=\"\"\r", {0x0411}), 5, "U+0411"},
        // Huge lines.
        {"a 2 MB line", kHead + kKey + std::string(2 << 20, 'x') + "\r\n", 4, "unexpected text"},
        {"a 1 MB unterminated string", kHead + kKey + "\"a\"=\"" + std::string(1 << 20, 's'), 4,
         "missing closing quote"},
        {"a 200,000-byte value with a bad last byte",
         kHead + kKey + bigHex.substr(0, bigHex.size() - 2) + "zz\r\n", 3 + hexLines,
         "hexadecimal byte"},
        // Binary garbage.
        {"random bytes", Garbage(1, 4096), 1, "first line"},
        {"random bytes after the header", kHead + kKey + Garbage(2, 4096), 4, ""},
        {"nothing but zero bytes", std::string(1000, '\0'), 1, "first line"},
        {"an executable",
         "\x7f"
         "ELF\x02\x01\x01" +
             std::string(64, '\0'),
         1, "first line"},
        {"a picture", "\x89PNG\r\n\x1a\n" + Garbage(3, 512), 1, "first line"},
        {"an archive", "PK\x03\x04" + Garbage(4, 512), 1, "first line"},
        {"a zero byte in a value line", kHead + kKey + std::string("\"a\"=\"b\"\0x\r\n", 11), 4,
         "after the value"},
        // Deep nesting.
        {"20,000 levels ending in an empty name", kHead + DeepPath(20000) + "\\]\r\n", 3,
         "empty key name"},
        {"20,000 levels with one name too long", kHead + DeepPath(20000, 15000) + "]\r\n", 3,
         "longer than 255"},
    };
    return files;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(BadFiles, AreRefusedNamingFileAndLineAndStayUntouched) {
    const std::vector<BadFile> files = BadFiles();
    ASSERT_GE(files.size(), 50u);
    const fs::path dir = fs::temp_directory_path() / ("vlx-bad-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const BadFile& bad : files) {
        SCOPED_TRACE(bad.what);
        const std::string path = (dir / "controller.reg").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bad.bytes;
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);

        std::string error;
        EXPECT_EQ(registry::FileStore::Open(path, &error), nullptr);
        EXPECT_EQ(error.rfind(path, 0), 0u) << error;
        if (bad.line > 0) {
            EXPECT_EQ(error.find(path + ", line " + std::to_string(bad.line) + ": "), 0u) << error;
        }
        EXPECT_NE(error.find(bad.reason), std::string::npos) << error;
        EXPECT_LT(error.size(), path.size() + 250) << "an excerpt, not the whole line";

        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_TRUE(ReadFile(path) == bad.bytes);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
            << "nothing written beside it";
    }
    fs::remove_all(dir);
}

struct OddFile {
    std::string what;
    std::string bytes;
    std::string exported;  // HKEY_LOCAL_MACHINE\Software\A as TempRegistry exports it
};

TEST(OddButValidFiles, LoadAsTheRegistryEditorReadsThem) {
    const std::string a = "[HKEY_LOCAL_MACHINE\\Software\\A]\n";
    const std::vector<OddFile> files = {
        {"no final line break", "REGEDIT4\r\n\r\n" + kKey + "\"a\"=\"1\"", a + "\"a\"=\"1\"\n"},
        {"LF-only line ends", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"1\"\n",
         a + "\"a\"=\"1\"\n"},
        {"CR-only line ends",
         "REGEDIT4\r\r[HKEY_LOCAL_MACHINE\\Software\\A]\r\"a\"=\"1\"\r\"b\"=hex:01,\\\r  02\r",
         a + "\"a\"=\"1\"\n\"b\"=hex:01,02\n"},
        {"mixed line ends", "REGEDIT4\n\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\"a\"=\"1\"\r\n",
         a + "\"a\"=\"1\"\n"},
        {"trailing blanks",
         "REGEDIT4 \t\r\n[HKEY_LOCAL_MACHINE\\Software\\A]  \r\n\"a\"=\"1\" \t\r\n",
         a + "\"a\"=\"1\"\n"},
        {"indented lines", "REGEDIT4\r\n  [HKEY_LOCAL_MACHINE\\Software\\A]\r\n\t\"a\" = \"1\"\r\n",
         a + "\"a\"=\"1\"\n"},
        {"a comment inside a continuation",
         "REGEDIT4\r\n" + kKey + "\"b\"=hex:01,02,\\\r\n; a comment\r\n  03\r\n",
         a + "\"b\"=hex:01,02,03\n"},
        {"comments after values", "REGEDIT4\r\n" + kKey + "\"a\"=dword:1 ; one\r\n",
         a + "\"a\"=dword:00000001\n"},
        {"short root name, key given twice, last value wins",
         "REGEDIT4\r\n[HKLM\\Software\\A]\r\n\"a\"=\"1\"\r\n[hklm\\software\\a]\r\n\"a\"=\"2\"\r\n",
         "[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"2\"\n"},
        {"a removed key and value",
         "REGEDIT4\r\n" + kKey + "\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\"b\"=-\r\n" +
             "[HKEY_LOCAL_MACHINE\\Software\\A\\Gone]\r\n[-HKEY_LOCAL_MACHINE\\Software\\A\\Gone]"
             "\r\n",
         a + "\"a\"=\"1\"\n"},
        {"UTF-16 with LF-only lines and no final line break",
         Utf16("Windows Registry Editor Version "
               "5.00\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"\xe9\""),
         a + "\"a\"=\"\xe9\"\n"},
        {"UTF-16 with CR-only lines",
         Utf16("Windows Registry Editor Version "
               "5.00\r[HKEY_LOCAL_MACHINE\\Software\\A]\r\"a\"=\"1\"\r"),
         a + "\"a\"=\"1\"\n"},
    };
    for (const OddFile& odd : files) {
        SCOPED_TRACE(odd.what);
        testsupport::TempRegistry reg(odd.bytes);
        EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, "Software\\A"), odd.exported);
    }
}

// A deep file loads, and the store writes it back whole.
TEST(OddButValidFiles, ADeepFileLoadsAndIsWrittenBackWhole) {
    const int levels = 5000;
    testsupport::TempRegistry reg("REGEDIT4\r\n" + DeepPath(levels) + "]\r\n\"deep\"=\"1\"\r\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExA(key, "n", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    RegCloseKey(key);
    {
        // Opened level by level, in one batch as a page command would.
        registry::RegistryBatch batch;
        HKEY at = HKEY_LOCAL_MACHINE;
        for (int i = 0; i < levels; ++i) {
            HKEY next = nullptr;
            ASSERT_EQ(RegOpenKeyExA(at, ("k" + std::to_string(i % 10)).c_str(), 0, KEY_READ, &next),
                      ERROR_SUCCESS)
                << i;
            if (at != HKEY_LOCAL_MACHINE)
                RegCloseKey(at);
            at = next;
        }
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExA(at, "deep", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
        RegCloseKey(at);
    }
    std::string error;
    EXPECT_NE(registry::FileStore::Open(reg.FilePath(), &error), nullptr) << error;
}

}  // namespace

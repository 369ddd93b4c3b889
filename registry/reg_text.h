#pragma once
// The .reg text format as the system registry editor writes it: roots, names and values, the
// parser for "REGEDIT4" (8-bit) and "Windows Registry Editor Version 5.00" (UTF-16LE with
// byte-order mark) files, and a writer that gives every value back with its type and bytes.
// Standard library only, so the Windows test kit can use it to seed the system registry from the
// same text. (The tests' reference model of a whole file is tests/support/reg_model.h.)
//
// Text is held as 8-bit Windows-1252, the code page of the ANSI registry calls. A UTF-16 file
// holding a character that Windows-1252 cannot represent is refused (with its line), never
// read with the character replaced, since a later write would otherwise lose it for good.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/page_buffer.h"

namespace registry {

// ---- Windows-1252 ------------------------------------------------------------------------

// The Unicode code point of one Windows-1252 byte. The five bytes the code page leaves
// undefined map to the C1 controls of the same number, as the system's conversion does, so
// every byte has exactly one code point and back.
char16_t Cp1252ToUnicode(uint8_t byte);
// The Windows-1252 byte of a code point; false when the code page has none for it.
bool UnicodeToCp1252(char16_t unit, uint8_t* byte);

// ---- Names --------------------------------------------------------------------------------

// Registry names compare by their upper-cased Unicode code units, so "Vorna" equals "VORNA"
// and "é" equals "É"; this is also the order in which subkeys enumerate.
int CompareNames(std::string_view a, std::string_view b);
inline bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNames(a, b) == 0;
}
// The names of a key path ("A\\B\\C"), empty parts left out.
std::vector<std::string> SplitKeyPath(std::string_view path);
// Whether the key of the names `inner` is the key of `outer` or lies below it.
bool PathCovers(const std::vector<std::string>& outer, const std::vector<std::string>& inner);
struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return CompareNames(a, b) < 0; }
};
// The comparison key of a name: one byte per character, such that keys compare with memcmp
// (then shorter first) exactly as CompareNames compares the names, and are equal exactly when
// the names are. A name folded once can so be compared many times at the cost of bytes.
void AppendNameKey(std::string_view name, std::string* key);
// The key byte of every byte (256 entries).
const uint8_t* NameKeyTable();

// ---- Roots and values ---------------------------------------------------------------------

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users };
constexpr int kRegRootCount = 4;
// "HKEY_LOCAL_MACHINE" and so on.
const char* RegRootName(RegRoot root);
// Accepts the full names and the short forms HKLM, HKCU, HKCR, HKU, without regard to case.
bool ParseRegRoot(std::string_view text, RegRoot* root);

struct RegValue {
    std::string name;  // "" is the key's unnamed (default) value
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

// ---- Files --------------------------------------------------------------------------------

// A version 5 file is normally UTF-16; one saved as 8-bit text is read as Windows-1252 and
// written back the same way. In both, string-type hex data (hex(1), hex(2), hex(7)) holds
// UTF-16LE bytes, which are converted to and from Windows-1252 like all other text.
struct RegFileFormat {
    bool version5 = false;  // "Windows Registry Editor Version 5.00"; else "REGEDIT4"
    bool utf16 = false;     // UTF-16LE with byte-order mark; else 8-bit Windows-1252
    bool operator==(const RegFileFormat&) const = default;
};

// What the parser hands on, line by line, in file order. Names and data are only valid during
// the call. A file with an error has been handed on up to the line before it.
class RegTextSink {
  public:
    virtual ~RegTextSink() = default;
    // A key line: "[path]", or with `remove` "[-path]". Values that follow belong to this key.
    virtual void Key(RegRoot root, const std::vector<std::string_view>& path, bool remove,
                     int line) = 0;
    // A value of the current key ("" is the unnamed value), data as stored.
    virtual void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
                       int line) = 0;
    // "name"=- under the current key.
    virtual void RemoveValue(std::string_view name, int line) = 0;
};
// Parses the bytes of a .reg file into a sink; `format` receives the file's format. Returns ""
// on success, otherwise "<fileName>, line <n>: <what is wrong>" (or "<fileName>: <what>" for the
// file as a whole).
std::string ParseRegText(std::string_view bytes, const std::string& fileName, RegFileFormat* format,
                         RegTextSink* sink);

// A file's bytes in pieces, so a large file is parsed without being held whole.
class RegTextSource {
  public:
    virtual ~RegTextSource() = default;
    // Fills up to `size` bytes of `buffer` with the next bytes; 0 at the end of the file. A
    // source that fails to read ends the file there and keeps the error for its owner.
    virtual size_t Read(char* buffer, size_t size) = 0;
    // The file's size when known, to size buffers; 0 otherwise.
    virtual size_t SizeHint() const { return 0; }
};
// The same parse, reading the file piece by piece.
std::string ParseRegText(RegTextSource* source, const std::string& fileName, RegFileFormat* format,
                         RegTextSink* sink);

// Writes a .reg file key by key, for any tree: the header first, then BeginKey, the key's
// values and EndKey for every key in file order, and Finish for the file's bytes.
class RegTextWriter {
  public:
    explicit RegTextWriter(const RegFileFormat& format, size_t sizeHint = 0);
    // "[path]", the path with its root name ("HKEY_LOCAL_MACHINE\\Software").
    void BeginKey(std::string_view path);
    void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size);
    void EndKey();
    // "[-path]" and a blank line: an importer deletes the key with everything below it.
    void DeleteKey(std::string_view path);
    // "name"=- (@=- for the unnamed value) in the current key: an importer deletes the value.
    void DeleteValue(std::string_view name);
    std::string Finish();
    // The same bytes without a copy into a string.
    PageBuffer FinishBytes();

  private:
    // Appends 8-bit text, as UTF-16 where the format asks for it.
    void Put(const char* bytes, size_t count);

    RegFileFormat format_;
    PageBuffer text_;   // the file's bytes so far
    std::string line_;  // the line being written
};

// One value appended to `out` as its .reg line (8-bit, without line end), e.g.
// "Width"=dword:00000064. Strings that are exactly text plus one terminating zero (no other zero,
// no control character but tab) use the quoted form; everything else the hex form of its type.
// `version5` writes string-type hex data as UTF-16LE, as that format requires; `wrap` breaks long
// hex lines as the registry editor does.
void AppendRegValue(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
                    bool version5, bool wrap, std::string* out);
// A quoted .reg string with \ and " escaped.
std::string QuoteRegString(std::string_view text);
// Whether a key or value name can be written to a .reg file: a line break in it would split
// its line, so such names are refused by the file store.
bool IsWritableRegName(std::string_view name);

}  // namespace registry

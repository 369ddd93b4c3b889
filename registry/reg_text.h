#pragma once
// The .reg text format as the system registry editor writes it: a portable model of keys and
// values, the parser for "REGEDIT4" (8-bit) and "Windows Registry Editor Version 5.00"
// (UTF-16LE with byte-order mark) files, and a writer that gives every value back with its
// type and bytes. Standard library only, so the Windows test kit can use it to seed the system
// registry from the same text.
//
// Text is held as 8-bit Windows-1252, the code page of the ANSI registry calls. A UTF-16 file
// holding a character that Windows-1252 cannot represent is refused (with its line), never
// read with the character replaced, since a later write would otherwise lose it for good.

#include <cstdint>
#include <map>
#include <memory>
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

// ---- Model --------------------------------------------------------------------------------

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

// One key: values in the order they were first set, subkeys in name order.
class RegKeyNode {
  public:
    explicit RegKeyNode(std::string name = {}, RegKeyNode* parent = nullptr)
        : name_(std::move(name)), parent_(parent) {}
    // Children point at their parent, so a node never moves.
    RegKeyNode(const RegKeyNode&) = delete;
    RegKeyNode& operator=(const RegKeyNode&) = delete;

    const std::string& Name() const { return name_; }
    RegKeyNode* Parent() const { return parent_; }

    const std::vector<RegValue>& Values() const { return values_; }
    const RegValue* FindValue(std::string_view name) const;
    // Replaces the data and type of an existing value (its name keeps its first case) or
    // appends a new one.
    void SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data);
    bool RemoveValue(std::string_view name);

    using SubkeyMap = std::map<std::string, std::unique_ptr<RegKeyNode>, NameLess>;
    const SubkeyMap& Subkeys() const { return subkeys_; }
    RegKeyNode* FindSubkey(std::string_view name) const;
    // The existing subkey of that name or a new one; `created` tells which.
    RegKeyNode* AddSubkey(std::string_view name, bool* created = nullptr);
    // Removes the subkey with everything below it; false when there is none.
    bool RemoveSubkey(std::string_view name);

  private:
    std::string name_;
    RegKeyNode* parent_;
    std::vector<RegValue> values_;
    SubkeyMap subkeys_;
};

// The two roots the program uses and the two others a file may hold. Not movable (see above);
// hold it by pointer to swap trees.
struct RegTree {
    RegKeyNode roots[kRegRootCount];
    RegKeyNode& Root(RegRoot root) { return roots[static_cast<int>(root)]; }
    const RegKeyNode& Root(RegRoot root) const { return roots[static_cast<int>(root)]; }
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

// One line's worth of a .reg file, in file order.
struct RegEntry {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    RegRoot root = RegRoot::LocalMachine;
    std::vector<std::string> path;  // key names below the root; empty for the root itself
    std::string valueName;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    int line = 0;
};

struct RegDocument {
    RegFileFormat format;
    std::vector<RegEntry> entries;
};

// Parses the bytes of a .reg file. Returns "" on success, otherwise "<fileName>, line <n>:
// <what is wrong>" (or "<fileName>: <what>" for the file as a whole).
std::string ParseRegText(std::string_view bytes, const std::string& fileName, RegDocument* doc);

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
// The same parse into a sink; `format` receives the file's format. Same result as above.
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

// Applies parsed entries to a tree: keys created with their parents, "[-key]" removes the
// subtree, "name"=- removes the value.
void ApplyRegEntries(const std::vector<RegEntry>& entries, RegTree* tree);
// The whole tree as file bytes in the given format: header, then every key (the roots only
// when they hold values) depth first in subkey order, each with its values in stored order.
std::string WriteRegText(const RegTree& tree, const RegFileFormat& format);

// Writes a .reg file key by key, for any tree: the header first, then BeginKey, the key's
// values and EndKey for every key in file order, and Finish for the file's bytes.
class RegTextWriter {
  public:
    explicit RegTextWriter(const RegFileFormat& format, size_t sizeHint = 0);
    // "[path]", the path with its root name ("HKEY_LOCAL_MACHINE\\Software").
    void BeginKey(std::string_view path);
    void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size);
    void EndKey();
    std::string Finish();
    // The same bytes without a copy into a string.
    PageBuffer FinishBytes();

  private:
    RegFileFormat format_;
    PageBuffer text_;   // 8-bit
    std::string line_;  // the value being written
};

// One value appended to `out` as its .reg line, as FormatRegValue below.
void AppendRegValue(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
                    bool version5, bool wrap, std::string* out);
// One value as its .reg line (8-bit, without line end), e.g. "Width"=dword:00000064. Strings
// that are exactly text plus one terminating zero (no other zero, no control character but
// tab) use the quoted form; everything else the hex form of its type. `version5` writes string-type
// hex data as UTF-16LE, as that format requires; `wrap` breaks long hex lines as the registry
// editor does.
std::string FormatRegValue(const RegValue& value, bool version5, bool wrap);
// A quoted .reg string with \ and " escaped.
std::string QuoteRegString(std::string_view text);
// Whether a key or value name can be written to a .reg file: a line break in it would split
// its line, so such names are refused by the file store.
bool IsWritableRegName(std::string_view name);

// The header line of a file in that format ("REGEDIT4" or "Windows Registry Editor Version
// 5.00"), without line end.
std::string_view RegFileHeader(const RegFileFormat& format);
// 8-bit .reg text (header and CR LF line ends included) as the bytes of a file in that format:
// unchanged for an 8-bit file; for a UTF-16 one, each Windows-1252 byte as its UTF-16LE unit
// after the byte-order mark.
std::string EncodeRegFileText(std::string_view text, const RegFileFormat& format);

}  // namespace registry

#include "registry/reg_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace registry {

namespace {

constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t UpcaseUnit(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char16_t>(c - 0x20);
    switch (c) {
        case 0xFF:
            return 0x178;
        case 0xB5:
            return 0x39C;
        case 0x161:
            return 0x160;
        case 0x153:
            return 0x152;
        case 0x17E:
            return 0x17D;
        case 0x192:
            return 0x191;
        default:
            return c;
    }
}

// Comparison key of every byte, built once.
const std::array<char16_t, 256>& FoldTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = UpcaseUnit(Cp1252ToUnicode(static_cast<uint8_t>(i)));
        return t;
    }();
    return table;
}

const char* const kRootNames[kRegRootCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                               "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
const char* const kRootShortNames[kRegRootCount] = {"HKCR", "HKCU", "HKLM", "HKU"};

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr size_t kMaxKeyNameLength = 255;

bool IsStringType(uint32_t type) {
    return type == 1 || type == 2 || type == 7;
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string_view TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r'))
        --n;
    return s.substr(0, n);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Hex4(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", value);
    return buf;
}

// Shows a bit of an offending line in an error message.
std::string Excerpt(std::string_view text) {
    std::string out(text.substr(0, 40));
    if (text.size() > 40)
        out += "...";
    return out;
}

std::vector<uint8_t> Cp1252ToUtf16Bytes(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    out.reserve(data.size() * 2);
    for (uint8_t b : data) {
        char16_t u = Cp1252ToUnicode(b);
        out.push_back(static_cast<uint8_t>(u & 0xFF));
        out.push_back(static_cast<uint8_t>(u >> 8));
    }
    return out;
}

class Parser {
  public:
    Parser(std::string_view bytes, const std::string& fileName, RegDocument* doc)
        : bytes_(bytes), fileName_(fileName), doc_(doc) {}

    std::string Run() {
        doc_->entries.clear();
        doc_->format = {};
        if (bytes_.empty())
            return fileName_ + ": the file is empty, not a registry file";
        std::string& text = text_;
        if (bytes_.size() >= 2 && static_cast<uint8_t>(bytes_[0]) == 0xFF &&
            static_cast<uint8_t>(bytes_[1]) == 0xFE) {
            doc_->format.utf16 = true;
            if (std::string err = DecodeUtf16(bytes_.substr(2), &text); !err.empty())
                return err;
        } else if (bytes_.size() >= 3 && bytes_.substr(0, 3) == "\xEF\xBB\xBF") {
            return Error(1,
                         "UTF-8 text is not a registry file encoding (the registry editor "
                         "writes 8-bit REGEDIT4 or UTF-16 files)");
        } else if (bytes_.size() >= 2 && static_cast<uint8_t>(bytes_[0]) == 0xFE &&
                   static_cast<uint8_t>(bytes_[1]) == 0xFF) {
            return fileName_ + ": big-endian UTF-16 is not a registry file format";
        } else {
            text.assign(bytes_);
        }
        SplitLines(text);
        return ParseLines();
    }

  private:
    std::string Error(int line, const std::string& what) const {
        return fileName_ + ", line " + std::to_string(line) + ": " + what;
    }

    std::string DecodeUtf16(std::string_view raw, std::string* out) {
        if (raw.size() % 2 != 0)
            return fileName_ + ": the UTF-16 text ends in half a character";
        out->reserve(raw.size() / 2);
        int line = 1;
        for (size_t i = 0; i < raw.size(); i += 2) {
            char16_t unit = static_cast<char16_t>(static_cast<uint8_t>(raw[i]) |
                                                  (static_cast<uint8_t>(raw[i + 1]) << 8));
            uint8_t byte = 0;
            if (!UnicodeToCp1252(unit, &byte))
                return Error(line, "the character " + Hex4(unit) +
                                       " cannot be represented in Windows-1252; the file "
                                       "is refused rather than read with it replaced");
            if (byte == '\n')
                ++line;
            out->push_back(static_cast<char>(byte));
        }
        return {};
    }

    void SplitLines(std::string_view text) {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                if (start < text.size())
                    lines_.push_back(text.substr(start));
                break;
            }
            lines_.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        for (std::string_view& l : lines_)
            if (!l.empty() && l.back() == '\r')
                l.remove_suffix(1);
    }

    std::string ParseLines() {
        std::string_view header = TrimRight(lines_.empty() ? std::string_view{} : lines_[0]);
        if (header == kHeader5) {
            doc_->format.version5 = true;
        } else if (header != kHeader4) {
            return Error(1,
                         "not a registry file: the first line must be \"REGEDIT4\" or "
                         "\"Windows Registry Editor Version 5.00\"");
        }
        for (size_t i = 1; i < lines_.size(); ++i) {
            std::string_view t = TrimLeft(lines_[i]);
            const int line = static_cast<int>(i) + 1;
            if (TrimRight(t).empty() || t[0] == ';')
                continue;
            std::string err;
            if (t[0] == '[')
                err = ParseKeyLine(TrimRight(t), line);
            else if (t[0] == '"' || t[0] == '@')
                err = ParseValueLine(&i);
            else
                err = Error(line, "unexpected text \"" + Excerpt(t) + "\"");
            if (!err.empty())
                return err;
        }
        return {};
    }

    std::string ParseKeyLine(std::string_view t, int line) {
        if (t.size() < 2 || t.back() != ']')
            return Error(line, "a key line must end with ']'");
        std::string_view inner = t.substr(1, t.size() - 2);
        RegEntry entry;
        entry.line = line;
        entry.kind = RegEntry::Kind::CreateKey;
        if (!inner.empty() && inner[0] == '-') {
            entry.kind = RegEntry::Kind::DeleteKey;
            inner.remove_prefix(1);
        }
        size_t slash = inner.find('\\');
        std::string_view rootName = inner.substr(0, slash);
        if (!ParseRegRoot(rootName, &entry.root))
            return Error(line, "unknown root key \"" + Excerpt(rootName) + "\"");
        if (slash != std::string_view::npos) {
            std::string_view rest = inner.substr(slash + 1);
            while (true) {
                size_t next = rest.find('\\');
                std::string_view part = rest.substr(0, next);
                if (part.empty())
                    return Error(line, "empty key name in the path (doubled or trailing '\\')");
                if (part.size() > kMaxKeyNameLength)
                    return Error(line, "a key name is longer than 255 characters");
                entry.path.emplace_back(part);
                if (next == std::string_view::npos)
                    break;
                rest.remove_prefix(next + 1);
            }
        }
        if (entry.kind == RegEntry::Kind::DeleteKey && entry.path.empty())
            return Error(line, "a root key cannot be deleted");
        currentKey_ = entry;
        haveKey_ = true;
        keyDeleted_ = entry.kind == RegEntry::Kind::DeleteKey;
        doc_->entries.push_back(std::move(entry));
        return {};
    }

    // Reads a quoted string starting at `pos` (the opening quote); on return `pos` is past the
    // closing quote.
    std::string ReadQuoted(std::string_view t, size_t* pos, int line, std::string* out) {
        size_t i = *pos + 1;
        while (i < t.size()) {
            char c = t[i];
            if (c == '"') {
                *pos = i + 1;
                return {};
            }
            if (c == '\\') {
                if (i + 1 >= t.size())
                    break;
                char e = t[i + 1];
                if (e != '\\' && e != '"')
                    return Error(line, std::string("unknown escape sequence \\") + e +
                                           " in a quoted string (only \\\\ and \\\" are allowed)");
                out->push_back(e);
                i += 2;
                continue;
            }
            out->push_back(c);
            ++i;
        }
        return Error(line, "missing closing quote");
    }

    std::string CheckRest(std::string_view rest, int line) {
        rest = TrimLeft(rest);
        if (!rest.empty() && rest[0] != ';')
            return Error(line, "unexpected text \"" + Excerpt(rest) + "\" after the value");
        return {};
    }

    std::string ParseValueLine(size_t* index) {
        int line = static_cast<int>(*index) + 1;
        if (!haveKey_)
            return Error(line, "a value before the first key line");
        if (keyDeleted_)
            return Error(line, "a value under a key that this file deletes");
        std::string_view t = TrimRight(TrimLeft(lines_[*index]));
        RegEntry entry;
        entry.line = line;
        entry.root = currentKey_.root;
        entry.path = currentKey_.path;
        size_t pos = 0;
        if (t[0] == '@') {
            pos = 1;
        } else if (std::string err = ReadQuoted(t, &pos, line, &entry.valueName); !err.empty()) {
            return err;
        }
        std::string_view rest = TrimLeft(t.substr(pos));
        if (rest.empty() || rest[0] != '=')
            return Error(line, "'=' expected after the value name");
        rest = TrimLeft(rest.substr(1));
        if (!rest.empty() && rest[0] == '-') {
            entry.kind = RegEntry::Kind::DeleteValue;
            if (std::string err = CheckRest(rest.substr(1), line); !err.empty())
                return err;
        } else if (!rest.empty() && rest[0] == '"') {
            entry.kind = RegEntry::Kind::SetValue;
            entry.type = 1;
            std::string text;
            size_t p = 0;
            if (std::string err = ReadQuoted(rest, &p, line, &text); !err.empty())
                return err;
            if (std::string err = CheckRest(rest.substr(p), line); !err.empty())
                return err;
            entry.data.assign(text.begin(), text.end());
            entry.data.push_back(0);
        } else if (rest.size() >= 6 && AsciiEqualNoCase(rest.substr(0, 6), "dword:")) {
            entry.kind = RegEntry::Kind::SetValue;
            entry.type = 4;
            rest.remove_prefix(6);
            size_t n = 0;
            uint32_t v = 0;
            while (n < rest.size() && HexDigit(rest[n]) >= 0) {
                v = (v << 4) | static_cast<uint32_t>(HexDigit(rest[n]));
                ++n;
            }
            if (n == 0 || n > 8)
                return Error(line, "dword: needs 1 to 8 hexadecimal digits");
            if (std::string err = CheckRest(rest.substr(n), line); !err.empty())
                return err;
            entry.data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        } else if (rest.size() >= 3 && AsciiEqualNoCase(rest.substr(0, 3), "hex")) {
            entry.kind = RegEntry::Kind::SetValue;
            rest.remove_prefix(3);
            entry.type = 3;
            if (!rest.empty() && rest[0] == '(') {
                size_t n = 1;
                uint32_t v = 0;
                while (n < rest.size() && HexDigit(rest[n]) >= 0) {
                    v = (v << 4) | static_cast<uint32_t>(HexDigit(rest[n]));
                    ++n;
                }
                if (n == 1 || n > 9 || n >= rest.size() || rest[n] != ')')
                    return Error(line, "hex(N): needs a hexadecimal type number of 1 to 8 digits");
                entry.type = v;
                rest.remove_prefix(n + 1);
            }
            if (rest.empty() || rest[0] != ':')
                return Error(line, "':' expected after hex");
            rest.remove_prefix(1);
            if (std::string err = ReadHexBytes(rest, index, &entry.data); !err.empty())
                return err;
            if (doc_->format.version5 && IsStringType(entry.type)) {
                if (std::string err = StringDataFromUtf16(&entry.data, line); !err.empty())
                    return err;
            }
        } else {
            return Error(line, "unrecognised value data \"" + Excerpt(rest) +
                                   "\" (expected a quoted string, dword:, hex: or hex(N):)");
        }
        doc_->entries.push_back(std::move(entry));
        return {};
    }

    // Comma-separated bytes, continued on the next line after a trailing backslash.
    std::string ReadHexBytes(std::string_view rest, size_t* index, std::vector<uint8_t>* out) {
        while (true) {
            int line = static_cast<int>(*index) + 1;
            rest = TrimLeft(rest);
            if (rest.empty() || rest[0] == ';')
                return {};
            if (rest[0] == '\\' && TrimLeft(rest.substr(1)).empty()) {
                if (*index + 1 >= lines_.size())
                    return Error(line, "line continuation at the end of the file");
                ++*index;
                rest = TrimRight(lines_[*index]);
                continue;
            }
            int hi = HexDigit(rest[0]);
            if (hi < 0)
                return Error(line, "hexadecimal byte expected, found \"" + Excerpt(rest) + "\"");
            int value = hi;
            size_t n = 1;
            if (rest.size() > 1 && HexDigit(rest[1]) >= 0) {
                value = value * 16 + HexDigit(rest[1]);
                n = 2;
            }
            out->push_back(static_cast<uint8_t>(value));
            rest = TrimLeft(rest.substr(n));
            if (rest.empty() || rest[0] == ';')
                return {};
            if (rest[0] == '\\' && TrimLeft(rest.substr(1)).empty())
                continue;
            if (rest[0] != ',')
                return Error(line, "',' expected between hexadecimal bytes");
            rest.remove_prefix(1);
        }
    }

    std::string StringDataFromUtf16(std::vector<uint8_t>* data, int line) {
        if (data->size() % 2 != 0)
            return Error(line, "string data of odd length cannot be UTF-16 text");
        std::vector<uint8_t> out;
        out.reserve(data->size() / 2);
        for (size_t i = 0; i < data->size(); i += 2) {
            char16_t unit = static_cast<char16_t>((*data)[i] | ((*data)[i + 1] << 8));
            uint8_t byte = 0;
            if (!UnicodeToCp1252(unit, &byte))
                return Error(line, "the character " + Hex4(unit) +
                                       " in string data cannot be represented in Windows-1252; "
                                       "the file is refused rather than read with it replaced");
            out.push_back(byte);
        }
        *data = std::move(out);
        return {};
    }

    std::string_view bytes_;
    const std::string& fileName_;
    RegDocument* doc_;
    std::string text_;  // the 8-bit text the lines point into
    std::vector<std::string_view> lines_;
    RegEntry currentKey_;
    bool haveKey_ = false;
    bool keyDeleted_ = false;
};

void AppendKeyPath(const RegKeyNode& key, std::string* out) {
    if (key.Parent() == nullptr)
        return;
    AppendKeyPath(*key.Parent(), out);
    out->push_back('\\');
    out->append(key.Name());
}

void WriteKey(const RegKeyNode& key, const std::string& rootName, bool isRoot, bool version5,
              std::string* out) {
    if (!isRoot || !key.Values().empty()) {
        out->push_back('[');
        out->append(rootName);
        AppendKeyPath(key, out);
        out->append("]\r\n");
        for (const RegValue& v : key.Values()) {
            out->append(FormatRegValue(v, version5, true));
            out->append("\r\n");
        }
        out->append("\r\n");
    }
    for (const auto& [name, child] : key.Subkeys())
        WriteKey(*child, rootName, false, version5, out);
}

}  // namespace

char16_t Cp1252ToUnicode(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252High[byte - 0x80];
    return byte;
}

bool UnicodeToCp1252(char16_t unit, uint8_t* byte) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        *byte = static_cast<uint8_t>(unit);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == unit) {
            *byte = static_cast<uint8_t>(0x80 + i);
            return true;
        }
    }
    return false;
}

int CompareNames(std::string_view a, std::string_view b) {
    const auto& fold = FoldTable();
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = fold[static_cast<uint8_t>(a[i])];
        char16_t y = fold[static_cast<uint8_t>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

const char* RegRootName(RegRoot root) {
    return kRootNames[static_cast<int>(root)];
}

bool ParseRegRoot(std::string_view text, RegRoot* root) {
    for (int i = 0; i < kRegRootCount; ++i) {
        if (AsciiEqualNoCase(text, kRootNames[i]) || AsciiEqualNoCase(text, kRootShortNames[i])) {
            *root = static_cast<RegRoot>(i);
            return true;
        }
    }
    return false;
}

const RegValue* RegKeyNode::FindValue(std::string_view name) const {
    for (const RegValue& v : values_)
        if (NamesEqual(v.name, name))
            return &v;
    return nullptr;
}

void RegKeyNode::SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
    for (RegValue& v : values_) {
        if (NamesEqual(v.name, name)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    }
    values_.push_back(RegValue{std::string(name), type, std::move(data)});
}

bool RegKeyNode::RemoveValue(std::string_view name) {
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const RegValue& v) { return NamesEqual(v.name, name); });
    if (it == values_.end())
        return false;
    values_.erase(it);
    return true;
}

RegKeyNode* RegKeyNode::FindSubkey(std::string_view name) const {
    auto it = subkeys_.find(name);
    return it == subkeys_.end() ? nullptr : it->second.get();
}

RegKeyNode* RegKeyNode::AddSubkey(std::string_view name, bool* created) {
    auto it = subkeys_.find(name);
    if (created)
        *created = it == subkeys_.end();
    if (it != subkeys_.end())
        return it->second.get();
    auto node = std::make_unique<RegKeyNode>(std::string(name), this);
    RegKeyNode* raw = node.get();
    subkeys_.emplace(std::string(name), std::move(node));
    return raw;
}

bool RegKeyNode::RemoveSubkey(std::string_view name) {
    auto it = subkeys_.find(name);
    if (it == subkeys_.end())
        return false;
    subkeys_.erase(it);
    return true;
}

std::string ParseRegText(std::string_view bytes, const std::string& fileName, RegDocument* doc) {
    return Parser(bytes, fileName, doc).Run();
}

void ApplyRegEntries(const std::vector<RegEntry>& entries, RegTree* tree) {
    // Values follow their key line, so the key just made is nearly always the one wanted.
    const RegEntry* lastKeyEntry = nullptr;
    RegKeyNode* lastKey = nullptr;
    for (const RegEntry& e : entries) {
        RegKeyNode* key = &tree->Root(e.root);
        switch (e.kind) {
            case RegEntry::Kind::CreateKey:
            case RegEntry::Kind::SetValue:
                if (lastKeyEntry && lastKeyEntry->root == e.root && lastKeyEntry->path == e.path) {
                    key = lastKey;
                } else {
                    for (const std::string& part : e.path)
                        key = key->AddSubkey(part);
                    lastKeyEntry = &e;
                    lastKey = key;
                }
                if (e.kind == RegEntry::Kind::SetValue)
                    key->SetValue(e.valueName, e.type, e.data);
                break;
            case RegEntry::Kind::DeleteKey:
                lastKeyEntry = nullptr;
                for (size_t i = 0; key && i + 1 < e.path.size(); ++i)
                    key = key->FindSubkey(e.path[i]);
                if (key)
                    key->RemoveSubkey(e.path.back());
                break;
            case RegEntry::Kind::DeleteValue:
                for (size_t i = 0; key && i < e.path.size(); ++i)
                    key = key->FindSubkey(e.path[i]);
                if (key)
                    key->RemoveValue(e.valueName);
                break;
        }
    }
}

std::string_view RegFileHeader(const RegFileFormat& format) {
    return format.version5 ? kHeader5 : kHeader4;
}

std::string EncodeRegFileText(std::string_view text, const RegFileFormat& format) {
    if (!format.utf16)
        return std::string(text);
    std::string out;
    out.reserve(text.size() * 2 + 2);
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(0xFE));
    for (char c : text) {
        char16_t u = Cp1252ToUnicode(static_cast<uint8_t>(c));
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

bool IsWritableRegName(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

std::string QuoteRegString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    for (char c : text) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string FormatRegValue(const RegValue& value, bool version5, bool wrap) {
    std::string out = value.name.empty() ? std::string("@") : QuoteRegString(value.name);
    out.push_back('=');
    const std::vector<uint8_t>& d = value.data;
    if (value.type == 1 && !d.empty() && d.back() == 0 &&
        std::none_of(d.begin(), d.end() - 1,
                     [](uint8_t b) { return (b < 0x20 && b != '\t') || b == 0x7F; })) {
        out +=
            QuoteRegString(std::string_view(reinterpret_cast<const char*>(d.data()), d.size() - 1));
        return out;
    }
    char buf[32];
    if (value.type == 4 && d.size() == 4) {
        uint32_t v = d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", v);
        return out + buf;
    }
    if (value.type == 3) {
        out += "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
        out += buf;
    }
    const std::vector<uint8_t> bytes =
        version5 && IsStringType(value.type) ? Cp1252ToUtf16Bytes(d) : d;
    size_t lineStart = 0;
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 15]);
        if (i + 1 < bytes.size()) {
            out.push_back(',');
            if (wrap && out.size() - lineStart > 76) {
                out += "\\\r\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
    return out;
}

std::string WriteRegText(const RegTree& tree, const RegFileFormat& format) {
    std::string body;
    body.append(format.version5 ? kHeader5 : kHeader4);
    body.append("\r\n\r\n");
    for (int i = 0; i < kRegRootCount; ++i)
        WriteKey(tree.roots[i], kRootNames[i], true, format.version5, &body);
    if (!format.utf16)
        return body;
    std::string out;
    out.reserve(body.size() * 2 + 2);
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(0xFE));
    for (char c : body) {
        char16_t u = Cp1252ToUnicode(static_cast<uint8_t>(c));
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

}  // namespace registry

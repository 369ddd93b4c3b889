#include "registry/reg_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>

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
    if (a == b)
        return true;
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

// The value of every byte as a hexadecimal digit, -1 for others.
constexpr std::array<int8_t, 256> kHexDigits = [] {
    std::array<int8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = i >= '0' && i <= '9'   ? static_cast<int8_t>(i - '0')
               : i >= 'a' && i <= 'f' ? static_cast<int8_t>(i - 'a' + 10)
               : i >= 'A' && i <= 'F' ? static_cast<int8_t>(i - 'A' + 10)
                                      : int8_t{-1};
    return t;
}();

inline int HexDigit(char c) {
    return kHexDigits[static_cast<uint8_t>(c)];
}

// The first quote or backslash from `p` on, or `end`: eight bytes at a time, since names and
// texts make up most of a file.
inline const char* FindQuoteOrBackslash(const char* p, const char* end) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    for (; end - p >= 8; p += 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        const uint64_t q = w ^ (kOnes * '"');
        const uint64_t b = w ^ (kOnes * '\\');
        // A zero byte in q or b: the lowest flagged byte is always a true one.
        const uint64_t hit = ((q - kOnes) & ~q & kHigh) | ((b - kOnes) & ~b & kHigh);
        if (hit != 0)
            return p + (std::countr_zero(hit) >> 3);
    }
    while (p < end && *p != '"' && *p != '\\')
        ++p;
    return p;
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

void AppendQuoted(std::string_view text, std::string* out) {
    out->push_back('"');
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' || text[i] == '"') {
            out->append(text.substr(start, i - start));
            out->push_back('\\');
            start = i;
        }
    }
    out->append(text.substr(start));
    out->push_back('"');
}

// Reads a .reg file line by line and hands what it finds to a sink. Lines are separated by LF; a
// CR before the LF belongs to the line end; a last line without LF counts when it is not empty.
class Parser {
  public:
    // The whole file at once.
    Parser(std::string_view bytes, const std::string& fileName, RegFileFormat* format,
           RegTextSink* sink)
        : fileName_(fileName), format_(format), sink_(sink), text_(bytes), eof_(true) {}
    // Piece by piece.
    Parser(RegTextSource* source, const std::string& fileName, RegFileFormat* format,
           RegTextSink* sink)
        : fileName_(fileName), format_(format), sink_(sink), source_(source) {}

    std::string Run() {
        *format_ = {};
        while (!eof_ && text_.size() < 3)
            Refill();
        if (text_.empty())
            return fileName_ + ": the file is empty, not a registry file";
        if (text_.size() >= 2 && static_cast<uint8_t>(text_[0]) == 0xFF &&
            static_cast<uint8_t>(text_[1]) == 0xFE) {
            format_->utf16 = true;
            if (std::string err = DecodeUtf16(); !err.empty())
                return err;
            text_ = decoded_.View();
            pos_ = 0;
            eof_ = true;
        } else if (text_.size() >= 3 && text_.substr(0, 3) == "\xEF\xBB\xBF") {
            return Error(1,
                         "UTF-8 text is not a registry file encoding (the registry editor "
                         "writes 8-bit REGEDIT4 or UTF-16 files)");
        } else if (text_.size() >= 2 && static_cast<uint8_t>(text_[0]) == 0xFE &&
                   static_cast<uint8_t>(text_[1]) == 0xFF) {
            return fileName_ + ": big-endian UTF-16 is not a registry file format";
        }
        return ParseLines();
    }

  private:
    std::string Error(int line, const std::string& what) const {
        return fileName_ + ", line " + std::to_string(line) + ": " + what;
    }

    // Reads more of the file behind what is left of the current piece; earlier lines' views
    // become invalid.
    void Refill() {
        const size_t keep = text_.size() - pos_;
        if (window_.size() == 0) {
            const size_t hint = source_->SizeHint();
            window_.Resize(hint == 0 ? kPiece : std::min(kPiece, std::max<size_t>(hint + 1, 4096)));
        }
        if (keep > 0)  // before the first read there is no text to keep, not even a pointer
            std::memmove(window_.data(), text_.data() + pos_, keep);
        pos_ = 0;
        if (keep == window_.size())
            window_.Resize(window_.size() * 2);  // a line longer than a piece
        const size_t n = source_->Read(window_.data() + keep, window_.size() - keep);
        if (n == 0)
            eof_ = true;
        text_ = std::string_view(window_.data(), keep + n);
    }

    // The whole UTF-16 file as 8-bit text in `decoded_`. As the file is checked as a whole
    // first, an odd size counts before a character Windows-1252 lacks, and that before any
    // other error.
    std::string DecodeUtf16() {
        size_t rawSize = 0;
        std::string firstError;
        decoded_.Reserve((source_ != nullptr ? source_->SizeHint() : text_.size()) / 2 + 1);
        std::string_view piece = text_.substr(2);
        uint8_t carry = 0;
        bool carrying = false;
        while (true) {
            rawSize += piece.size();
            const size_t done = decoded_.size();
            decoded_.Resize(done + piece.size() / 2 + 1);  // grows by doubling
            decoded_.Resize(done);
            char* out = decoded_.data() + decoded_.size();
            const uint8_t* src = reinterpret_cast<const uint8_t*>(piece.data());
            size_t i = 0;
            if (carrying && !piece.empty()) {
                DecodeUnit(carry, src[0], &out, &firstError);
                carrying = false;
                i = 1;
            }
            for (; i + 1 < piece.size(); i += 2) {
                const uint8_t low = src[i];
                // Latin-1 outside the C1 range stands for itself.
                if (src[i + 1] == 0 && (low < 0x80 || low >= 0xA0) && firstError.empty())
                    *out++ = static_cast<char>(low);
                else
                    DecodeUnit(low, src[i + 1], &out, &firstError);
            }
            decoded_.Resize(static_cast<size_t>(out - decoded_.data()));
            if (i < piece.size()) {
                carry = src[i];
                carrying = true;
            }
            if (eof_)
                break;
            pos_ = text_.size();
            Refill();
            piece = text_;
        }
        if (rawSize % 2 != 0)
            return fileName_ + ": the UTF-16 text ends in half a character";
        return firstError;
    }

    // Line ends as NextLine counts them: CR LF, LF alone or CR alone.
    static int LineEndsIn(const char* begin, const char* end) {
        int count = 0;
        bool afterCr = false;
        for (const char* p = begin; p < end; ++p) {
            if (*p == '\r' || (*p == '\n' && !afterCr))
                ++count;
            afterCr = *p == '\r';
        }
        return count;
    }

    // One unit appended at `*out`, unless the file is refused already or for this unit.
    void DecodeUnit(uint8_t low, uint8_t high, char** out, std::string* firstError) {
        const char16_t unit = static_cast<char16_t>(low | (high << 8));
        uint8_t byte = static_cast<uint8_t>(unit);
        if (((unit >= 0x80 && unit < 0xA0) || unit > 0xFF) && !UnicodeToCp1252(unit, &byte)) {
            if (firstError->empty()) {
                *firstError = Error(1 + LineEndsIn(decoded_.data(), *out),
                                    "the character " + Hex4(unit) +
                                        " cannot be represented in Windows-1252; the file "
                                        "is refused rather than read with it replaced");
            }
            return;
        }
        if (!firstError->empty())
            return;  // the file is refused; only its size may still matter
        *(*out)++ = static_cast<char>(byte);
    }

    // The next line without its line end; false after the last. Lines end in CR LF, LF or CR
    // alone, as the registry editor reads them.
    bool NextLine(std::string_view* line) {
        while (true) {
            const char* start = text_.data() + pos_;
            const size_t left = text_.size() - pos_;
            const char* lf = static_cast<const char*>(std::memchr(start, '\n', left));
            size_t end = lf ? static_cast<size_t>(lf - start) : left;
            const char* cr = static_cast<const char*>(std::memchr(start, '\r', end));
            // A CR that is not directly followed by the LF (or by the end of the piece, where the
            // LF may follow) ends the line on its own.
            const bool loneCr = cr != nullptr && static_cast<size_t>(cr - start) + 1 < end;
            if (loneCr)
                end = static_cast<size_t>(cr - start);
            else if (lf == nullptr && !eof_) {
                Refill();  // the line goes on in the next piece
                continue;
            }
            if (left == 0)
                return false;
            size_t next = end;
            if (end < left) {
                next = end + 1;
                if (start[end] == '\r' && next < left && start[next] == '\n')
                    ++next;
            }
            std::string_view l(start, end);
            if (!l.empty() && l.back() == '\r')
                l.remove_suffix(1);
            pos_ += next;
            *line = l;
            ++lineNumber_;
            return true;
        }
    }

    std::string ParseLines() {
        std::string_view first;
        NextLine(&first);
        std::string_view header = TrimRight(first);
        if (header == kHeader5) {
            format_->version5 = true;
        } else if (header != kHeader4) {
            return Error(1,
                         "not a registry file: the first line must be \"REGEDIT4\" or "
                         "\"Windows Registry Editor Version 5.00\"");
        }
        std::string_view l;
        while (NextLine(&l)) {
            std::string_view t = TrimLeft(l);
            if (t.empty() || t[0] == ';')
                continue;
            std::string err;
            if (t[0] == '[')
                err = ParseKeyLine(TrimRight(t), lineNumber_);
            else if (t[0] == '"' || t[0] == '@')
                err = ParseValueLine(TrimRight(t), lineNumber_);
            else if (TrimRight(t).empty())
                continue;
            else
                err = Error(lineNumber_, "unexpected text \"" + Excerpt(t) + "\"");
            if (!err.empty())
                return err;
        }
        return {};
    }

    std::string ParseKeyLine(std::string_view t, int line) {
        if (t.size() < 2 || t.back() != ']')
            return Error(line, "a key line must end with ']'");
        std::string_view inner = t.substr(1, t.size() - 2);
        bool remove = false;
        if (!inner.empty() && inner[0] == '-') {
            remove = true;
            inner.remove_prefix(1);
        }
        size_t slash = inner.find('\\');
        std::string_view rootName = inner.substr(0, slash);
        RegRoot root;
        if (!ParseRegRoot(rootName, &root))
            return Error(line, "unknown root key \"" + Excerpt(rootName) + "\"");
        path_.clear();
        if (slash != std::string_view::npos) {
            std::string_view rest = inner.substr(slash + 1);
            while (true) {
                size_t next = rest.find('\\');
                std::string_view part = rest.substr(0, next);
                if (part.empty())
                    return Error(line, "empty key name in the path (doubled or trailing '\\')");
                if (part.size() > kMaxKeyNameLength)
                    return Error(line, "a key name is longer than 255 characters");
                path_.push_back(part);
                if (next == std::string_view::npos)
                    break;
                rest.remove_prefix(next + 1);
            }
        }
        if (remove && path_.empty())
            return Error(line, "a root key cannot be deleted");
        haveKey_ = true;
        keyDeleted_ = remove;
        sink_->Key(root, path_, remove, line);
        return {};
    }

    // Reads a quoted string starting at `pos` (the opening quote); on return `pos` is past the
    // closing quote. Without escapes the text is a view of the line; otherwise it is unescaped
    // into `buffer`.
    std::string ReadQuoted(std::string_view t, size_t* pos, int line, std::string* buffer,
                           std::string_view* out) {
        const size_t begin = std::min(*pos + 1, t.size());
        // Runs of plain characters up to the next quote or backslash.
        auto plainRun = [&t](size_t from) {
            return static_cast<size_t>(FindQuoteOrBackslash(t.data() + from, t.data() + t.size()) -
                                       t.data());
        };
        size_t i = plainRun(begin);
        if (i < t.size() && t[i] == '"') {
            *out = t.substr(begin, i - begin);
            *pos = i + 1;
            return {};
        }
        buffer->assign(t.substr(begin, i - begin));
        while (i < t.size()) {
            if (t[i] == '"') {
                *pos = i + 1;
                *out = *buffer;
                return {};
            }
            // A backslash.
            if (i + 1 >= t.size())
                break;
            const char e = t[i + 1];
            if (e != '\\' && e != '"')
                return Error(line, std::string("unknown escape sequence \\") + e +
                                       " in a quoted string (only \\\\ and \\\" are allowed)");
            buffer->push_back(e);
            const size_t next = plainRun(i + 2);
            buffer->append(t.data() + i + 2, next - (i + 2));
            i = next;
        }
        return Error(line, "missing closing quote");
    }

    std::string CheckRest(std::string_view rest, int line) {
        rest = TrimLeft(rest);
        if (!rest.empty() && rest[0] != ';')
            return Error(line, "unexpected text \"" + Excerpt(rest) + "\" after the value");
        return {};
    }

    // The lines the registry editor and this store write nearly all have one of two forms,
    // "name"="text" and "name"=dword:01234567, without blanks, escapes or comments. Such a line is
    // read here in one pass over its bytes; any other (or anything unusual in one) is left to
    // the full rules below, which give the same result for these two forms.
    bool ParsePlainValueLine(std::string_view t, int line) {
        const char* p = t.data();
        const char* end = p + t.size();
        if (*p != '"')
            return false;
        const char* nameStart = ++p;
        p = FindQuoteOrBackslash(p, end);
        if (p + 2 >= end || *p != '"' || p[1] != '=')
            return false;
        const std::string_view name(nameStart, static_cast<size_t>(p - nameStart));
        p += 2;
        if (*p == '"') {
            const char* textStart = ++p;
            p = FindQuoteOrBackslash(p, end);
            if (p + 1 != end || *p != '"')
                return false;
            data_.assign(textStart, p);
            data_.push_back(0);
            sink_->Value(name, 1, data_.data(), data_.size(), line);
            return true;
        }
        constexpr std::string_view kDword = "dword:";
        if (static_cast<size_t>(end - p) <= kDword.size() ||
            std::string_view(p, kDword.size()) != kDword || end - p > 14)
            return false;
        uint32_t v = 0;
        for (p += kDword.size(); p < end; ++p) {
            const int d = HexDigit(*p);
            if (d < 0)
                return false;
            v = (v << 4) | static_cast<uint32_t>(d);
        }
        const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        sink_->Value(name, 4, bytes, 4, line);
        return true;
    }

    std::string ParseValueLine(std::string_view t, int line) {
        if (!haveKey_)
            return Error(line, "a value before the first key line");
        if (keyDeleted_)
            return Error(line, "a value under a key that this file deletes");
        if (ParsePlainValueLine(t, line))
            return {};
        std::string_view name;
        size_t pos = 0;
        if (t[0] == '@') {
            pos = 1;
        } else if (std::string err = ReadQuoted(t, &pos, line, &nameBuffer_, &name); !err.empty()) {
            return err;
        }
        std::string_view rest = TrimLeft(t.substr(pos));
        if (rest.empty() || rest[0] != '=')
            return Error(line, "'=' expected after the value name");
        rest = TrimLeft(rest.substr(1));
        data_.clear();
        uint32_t type = 0;
        if (!rest.empty() && rest[0] == '-') {
            if (std::string err = CheckRest(rest.substr(1), line); !err.empty())
                return err;
            sink_->RemoveValue(name, line);
            return {};
        } else if (!rest.empty() && rest[0] == '"') {
            type = 1;
            std::string_view text;
            size_t p = 0;
            if (std::string err = ReadQuoted(rest, &p, line, &textBuffer_, &text); !err.empty())
                return err;
            if (std::string err = CheckRest(rest.substr(p), line); !err.empty())
                return err;
            data_.assign(text.begin(), text.end());
            data_.push_back(0);
        } else if (rest.size() >= 6 && AsciiEqualNoCase(rest.substr(0, 6), "dword:")) {
            type = 4;
            rest.remove_prefix(6);
            size_t n = 0;
            uint32_t v = 0;
            for (int d; n < rest.size() && (d = HexDigit(rest[n])) >= 0; ++n)
                v = (v << 4) | static_cast<uint32_t>(d);
            if (n == 0 || n > 8)
                return Error(line, "dword: needs 1 to 8 hexadecimal digits");
            if (std::string err = CheckRest(rest.substr(n), line); !err.empty())
                return err;
            data_ = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                     static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        } else if (rest.size() >= 3 && AsciiEqualNoCase(rest.substr(0, 3), "hex")) {
            rest.remove_prefix(3);
            type = 3;
            if (!rest.empty() && rest[0] == '(') {
                size_t n = 1;
                uint32_t v = 0;
                while (n < rest.size() && HexDigit(rest[n]) >= 0) {
                    v = (v << 4) | static_cast<uint32_t>(HexDigit(rest[n]));
                    ++n;
                }
                if (n == 1 || n > 9 || n >= rest.size() || rest[n] != ')')
                    return Error(line, "hex(N): needs a hexadecimal type number of 1 to 8 digits");
                type = v;
                rest.remove_prefix(n + 1);
            }
            if (rest.empty() || rest[0] != ':')
                return Error(line, "':' expected after hex");
            rest.remove_prefix(1);
            if (std::string err = ReadHexBytes(rest, line, &name); !err.empty())
                return err;
            if (format_->version5 && IsStringType(type)) {
                if (std::string err = StringDataFromUtf16(line); !err.empty())
                    return err;
            }
        } else {
            return Error(line, "unrecognised value data \"" + Excerpt(rest) +
                                   "\" (expected a quoted string, dword:, hex: or hex(N):)");
        }
        sink_->Value(name, type, data_.data(), data_.size(), line);
        return {};
    }

    static bool IsContinuation(std::string_view rest) {
        return rest[0] == '\\' && TrimLeft(rest.substr(1)).empty();
    }

    // Comma-separated bytes, continued on the next line after a trailing backslash.
    // `name` is the value's name; a view of the line, it is copied before the next line is read.
    std::string ReadHexBytes(std::string_view rest, int line, std::string_view* name) {
        while (true) {
            rest = TrimLeft(rest);
            if (rest.empty() || rest[0] == ';')
                return {};
            if (IsContinuation(rest)) {
                if (name->data() != nameBuffer_.data()) {
                    nameBuffer_.assign(*name);
                    *name = nameBuffer_;
                }
                // Comment lines inside a continued value are skipped, as by the registry editor.
                std::string_view next;
                do {
                    if (!NextLine(&next))
                        return Error(line, "line continuation at the end of the file");
                } while (!TrimLeft(next).empty() && TrimLeft(next)[0] == ';');
                line = lineNumber_;
                rest = TrimRight(next);
                continue;
            }
            int hi = HexDigit(rest[0]);
            if (hi < 0)
                return Error(line, "hexadecimal byte expected, found \"" + Excerpt(rest) + "\"");
            int value = hi;
            size_t n = 1;
            if (rest.size() > 1) {
                if (const int lo = HexDigit(rest[1]); lo >= 0) {
                    value = value * 16 + lo;
                    n = 2;
                }
            }
            data_.push_back(static_cast<uint8_t>(value));
            rest = TrimLeft(rest.substr(n));
            if (rest.empty() || rest[0] == ';')
                return {};
            if (IsContinuation(rest))
                continue;
            if (rest[0] != ',')
                return Error(line, "',' expected between hexadecimal bytes");
            rest.remove_prefix(1);
        }
    }

    std::string StringDataFromUtf16(int line) {
        if (data_.size() % 2 != 0)
            return Error(line, "string data of odd length cannot be UTF-16 text");
        const size_t n = data_.size() / 2;
        for (size_t i = 0; i < n; ++i) {
            char16_t unit = static_cast<char16_t>(data_[2 * i] | (data_[2 * i + 1] << 8));
            uint8_t byte = 0;
            if (!UnicodeToCp1252(unit, &byte))
                return Error(line, "the character " + Hex4(unit) +
                                       " in string data cannot be represented in Windows-1252; "
                                       "the file is refused rather than read with it replaced");
            data_[i] = byte;
        }
        data_.resize(n);
        return {};
    }

    static constexpr size_t kPiece = size_t{1} << 20;

    const std::string& fileName_;
    RegFileFormat* format_;
    RegTextSink* sink_;
    RegTextSource* source_ = nullptr;
    PageBuffer window_;      // the current piece of a file read piece by piece
    PageBuffer decoded_;     // the 8-bit text of a UTF-16 file
    std::string_view text_;  // the 8-bit text at hand: the whole file or its current piece
    bool eof_ = false;       // text_ reaches the end of the file
    size_t pos_ = 0;         // start of the next line in text_
    int lineNumber_ = 0;     // of the line last read
    std::vector<std::string_view> path_;
    std::string nameBuffer_;
    std::string textBuffer_;
    std::vector<uint8_t> data_;
    bool haveKey_ = false;
    bool keyDeleted_ = false;
};

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

namespace {

// The rank of every byte's comparison unit among all of them: the comparison key's bytes.
const std::array<uint8_t, 256>& KeyTable() {
    static const std::array<uint8_t, 256> table = [] {
        const auto& fold = FoldTable();
        std::array<char16_t, 256> units = fold;
        std::sort(units.begin(), units.end());
        auto end = std::unique(units.begin(), units.end());
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] =
                static_cast<uint8_t>(std::lower_bound(units.begin(), end, fold[i]) - units.begin());
        return t;
    }();
    return table;
}

}  // namespace

const uint8_t* NameKeyTable() {
    return KeyTable().data();
}

void AppendNameKey(std::string_view name, std::string* key) {
    const auto& table = KeyTable();
    const size_t start = key->size();
    key->resize(start + name.size());
    char* out = key->data() + start;
    for (size_t i = 0; i < name.size(); ++i)
        out[i] = static_cast<char>(table[static_cast<uint8_t>(name[i])]);
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool PathCovers(const std::vector<std::string>& outer, const std::vector<std::string>& inner) {
    return outer.size() <= inner.size() &&
           std::equal(outer.begin(), outer.end(), inner.begin(), NamesEqual);
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

std::string ParseRegText(std::string_view bytes, const std::string& fileName, RegFileFormat* format,
                         RegTextSink* sink) {
    return Parser(bytes, fileName, format, sink).Run();
}

std::string ParseRegText(RegTextSource* source, const std::string& fileName, RegFileFormat* format,
                         RegTextSink* sink) {
    return Parser(source, fileName, format, sink).Run();
}

bool IsWritableRegName(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

std::string QuoteRegString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendQuoted(text, &out);
    return out;
}

void AppendRegValue(std::string_view name, uint32_t type, const uint8_t* d, size_t size,
                    bool version5, bool wrap, std::string* out) {
    const size_t lineStart0 = out->size();
    if (name.empty())
        out->push_back('@');
    else
        AppendQuoted(name, out);
    out->push_back('=');
    if (type == 1 && size > 0 && d[size - 1] == 0 && std::none_of(d, d + size - 1, [](uint8_t b) {
            return (b < 0x20 && b != '\t') || b == 0x7F;
        })) {
        AppendQuoted(std::string_view(reinterpret_cast<const char*>(d), size - 1), out);
        return;
    }
    static const char kDigits[] = "0123456789abcdef";
    if (type == 4 && size == 4) {
        const uint32_t v = d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24);
        char buf[14] = {'d', 'w', 'o', 'r', 'd', ':'};
        for (int i = 0; i < 8; ++i)
            buf[6 + i] = kDigits[(v >> (28 - 4 * i)) & 15];
        out->append(buf, 14);
        return;
    }
    if (type == 3) {
        out->append("hex:");
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "hex(%x):", type);
        out->append(buf);
    }
    // String-type data of a version 5 file is UTF-16LE: each byte's code unit, low byte first.
    const bool widen = version5 && IsStringType(type);
    const size_t count = widen ? size * 2 : size;
    size_t lineStart = lineStart0;
    out->reserve(out->size() + count * 3 + count / 8);
    for (size_t i = 0; i < count; ++i) {
        uint8_t byte;
        if (widen) {
            const char16_t u = Cp1252ToUnicode(d[i / 2]);
            byte = static_cast<uint8_t>(i % 2 == 0 ? u & 0xFF : u >> 8);
        } else {
            byte = d[i];
        }
        out->push_back(kDigits[byte >> 4]);
        out->push_back(kDigits[byte & 15]);
        if (i + 1 < count) {
            out->push_back(',');
            if (wrap && out->size() - lineStart > 76) {
                out->append("\\\r\n  ");
                lineStart = out->size() - 2;
            }
        }
    }
}

RegTextWriter::RegTextWriter(const RegFileFormat& format, size_t sizeHint) : format_(format) {
    text_.Reserve(std::max<size_t>(4096, sizeHint));
    if (format_.utf16)
        text_.Append("\xFF\xFE", 2);
    const std::string_view header = format.version5 ? kHeader5 : kHeader4;
    Put(header.data(), header.size());
    Put("\r\n\r\n", 4);
}

void RegTextWriter::Put(const char* bytes, size_t count) {
    if (!format_.utf16) {
        text_.Append(bytes, count);
        return;
    }
    // UTF-16 is written as the text is made, not converted afterwards.
    const size_t done = text_.size();
    text_.Resize(done + 2 * count);
    char* o = text_.data() + done;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        const char16_t u = b >= 0x80 && b < 0xA0 ? Cp1252ToUnicode(b) : b;
        o[2 * i] = static_cast<char>(u & 0xFF);
        o[2 * i + 1] = static_cast<char>(u >> 8);
    }
}

void RegTextWriter::BeginKey(std::string_view path) {
    line_.clear();
    line_.push_back('[');
    line_.append(path);
    line_.append("]\r\n");
    Put(line_.data(), line_.size());
}

void RegTextWriter::Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size) {
    line_.clear();
    AppendRegValue(name, type, data, size, format_.version5, true, &line_);
    line_.append("\r\n");
    Put(line_.data(), line_.size());
}

void RegTextWriter::EndKey() {
    Put("\r\n", 2);
}

void RegTextWriter::DeleteKey(std::string_view path) {
    line_.clear();
    line_.append("[-");
    line_.append(path);
    line_.append("]\r\n\r\n");
    Put(line_.data(), line_.size());
}

void RegTextWriter::DeleteValue(std::string_view name) {
    line_.clear();
    if (name.empty())
        line_.push_back('@');
    else
        line_.append(QuoteRegString(name));
    line_.append("=-\r\n");
    Put(line_.data(), line_.size());
}

PageBuffer RegTextWriter::FinishBytes() {
    return std::move(text_);
}

std::string RegTextWriter::Finish() {
    const PageBuffer bytes = FinishBytes();
    return std::string(bytes.View());
}

}  // namespace registry

#pragma once
// Text rules that pages, pickers and their records share: names compare without regard to
// letter case, typed text is trimmed of blanks, paths are stored lower-cased. Letter case is
// that of the "C" locale (A-Z), so every other byte of the registry's code page stays as it is.
// Standard library only and below every other layer, so any of them may use it.

#include <string>
#include <string_view>

namespace common {

inline char ToLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string ToLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = ToLowerAscii(c);
    }
    return lower;
}

// Names of levels, filters, templates, paths and so on match without regard to letter case.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The blanks of the "C" locale's isspace: space, tab, line feed, vertical tab, form feed,
// carriage return.
inline bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline std::string TrimLeft(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) {
        ++first;
    }
    return std::string(text.substr(first));
}

inline std::string TrimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(0, end));
}

inline std::string Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

// Some edits are trimmed of space characters alone: tabs and line breaks stay.
inline std::string TrimLeftSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

inline std::string TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace common

#include "platform/windows_path.h"

namespace platform {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char ToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsAllowedInName(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32) {
        return false;
    }
    switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '|':
        case '?':
        case '*':
            return false;
        default:
            return true;
    }
}

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

// Appends the names of `rest` to `out`, resolving "." and ".."; false for a forbidden character.
bool AppendComponents(std::string_view rest, std::vector<std::string>& out) {
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = pos;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        const std::string_view name = rest.substr(pos, end - pos);
        if (name.empty() || name == ".") {
            // doubled separators and "." change nothing
        } else if (name == "..") {
            if (!out.empty()) {
                out.pop_back();
            }
        } else {
            for (char c : name) {
                if (!IsAllowedInName(c)) {
                    return false;
                }
            }
            out.emplace_back(name);
        }
        pos = end + 1;
    }
    return true;
}

}  // namespace

std::string DriveRoot(char letter) {
    return std::string{ToUpper(letter), ':', '\\'};
}

std::string FormatWindowsPath(const WindowsPath& path) {
    std::string text{path.drive, ':'};
    if (path.components.empty()) {
        return text + '\\';
    }
    for (const std::string& name : path.components) {
        text += '\\';
        text += name;
    }
    return text;
}

std::optional<WindowsPath> ResolveWindowsPath(std::string_view base, std::string_view path) {
    if (path.empty()) {
        return std::nullopt;
    }
    WindowsPath result;
    std::string_view rest;
    if (HasDrive(path)) {
        result.drive = ToUpper(path[0]);
        rest = path.substr(2);
    } else {
        if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
            return std::nullopt;  // UNC and device paths have no drive letter
        }
        // The base is trusted only as far as it is an absolute path itself.
        if (!HasDrive(base) || (base.size() > 2 && !IsSeparator(base[2]))) {
            return std::nullopt;
        }
        std::optional<WindowsPath> start = ResolveWindowsPath({}, base);
        if (!start) {
            return std::nullopt;
        }
        result = std::move(*start);
        if (IsSeparator(path[0])) {
            result.components.clear();
        }
        rest = path;
    }
    if (!AppendComponents(rest, result.components)) {
        return std::nullopt;
    }
    return result;
}

bool IsValidWindowsName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (char c : name) {
        if (IsSeparator(c) || !IsAllowedInName(c)) {
            return false;
        }
    }
    return true;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToUpper(a[i]) != ToUpper(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace platform

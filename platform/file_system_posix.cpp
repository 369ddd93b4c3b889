// Drive letters mapped to folders, for systems without them.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/file_system.h"
#include "platform/windows_path.h"
#include "registry/reg_text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct State {
    std::mutex mutex;
    bool initialised = false;
    std::map<char, fs::path> drives;
    // The controller path last made current, and the folder it stood for; the process's
    // directory is compared with the folder to notice that someone else changed it.
    std::optional<WindowsPath> current;
    fs::path currentHost;
};

State& TheState() {
    static State state;
    return state;
}

fs::path DefaultHome() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return fs::path(home).lexically_normal();
    }
    return fs::path("/");
}

void EnsureDefaults(State& state) {
    if (!state.initialised) {
        state.drives.clear();
        state.drives['C'] = DefaultHome();
        state.initialised = true;
    }
}

// Names on this machine's file systems are UTF-8, the controller's are in its code page
// (Windows-1252), like every path the program shows and stores. A UTF-8 name whose characters
// all exist in the code page is taken in it; any other name (not UTF-8, or with characters the
// code page lacks) passes as its bytes, so it can still be listed and entered.
std::string FromHostName(const std::string& name) {
    if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
        return name;
    }
    std::string out;
    for (size_t i = 0; i < name.size();) {
        const auto byte = static_cast<unsigned char>(name[i]);
        int length = 0;
        char32_t code = 0;
        if (byte < 0x80) {
            length = 1;
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            length = 2;
            code = byte & 0x1F;
        } else if ((byte & 0xF0) == 0xE0) {
            length = 3;
            code = byte & 0x0F;
        } else {
            return name;  // beyond the code page, or no UTF-8 at all
        }
        if (i + length > name.size()) {
            return name;
        }
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(name[i + k]);
            if ((next & 0xC0) != 0x80) {
                return name;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 2 && code < 0x80) || (length == 3 && code < 0x800);
        std::uint8_t mapped = 0;
        if (overlong || !registry::UnicodeToCp1252(static_cast<char16_t>(code), &mapped)) {
            return name;
        }
        out.push_back(static_cast<char>(mapped));
        i += static_cast<size_t>(length);
    }
    return out;
}

// The UTF-8 spelling of a controller name.
std::string ToHostName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const char16_t code = registry::Cp1252ToUnicode(static_cast<std::uint8_t>(c));
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

char ToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

fs::path ProcessDirectory() {
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    return ec ? fs::path() : cwd;
}

std::optional<WindowsPath> CurrentWindowsPath(State& state);

// Resolves a controller path (relative ones against the current directory) to its drive and
// names; nothing when it is malformed.
std::optional<WindowsPath> Resolve(State& state, std::string_view path) {
    std::string base;
    if (std::optional<WindowsPath> current = CurrentWindowsPath(state)) {
        base = FormatWindowsPath(*current);
    }
    return ResolveWindowsPath(base, path);
}

// The folder of this machine for `path`. Each name is taken as it is when an entry of that exact
// name exists, otherwise the first entry whose name matches without regard to case; names that
// match nothing are kept as given.
std::optional<fs::path> ToHost(State& state, const WindowsPath& path) {
    const auto drive = state.drives.find(path.drive);
    if (drive == state.drives.end()) {
        return std::nullopt;
    }
    fs::path host = drive->second;
    for (const std::string& name : path.components) {
        std::error_code ec;
        // The name's UTF-8 spelling first, then its bytes as they are (a name that is no UTF-8).
        const std::string spellings[] = {ToHostName(name), name};
        bool found = false;
        for (const std::string& spelling : spellings) {
            fs::path exact = host / spelling;
            if (fs::exists(fs::symlink_status(exact, ec))) {
                host = std::move(exact);
                found = true;
                break;
            }
        }
        if (found) {
            continue;
        }
        std::optional<std::string> match;
        for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string candidate = it->path().filename().string();
            if (registry::NamesEqual(FromHostName(candidate), name) &&
                (!match || candidate < *match)) {
                match = candidate;
            }
        }
        host /= match ? *match : spellings[0];
    }
    return host;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

// The controller path of the process's directory: the one last made current while the process
// is still there, otherwise the path below the mapped folder holding it (the deepest folder
// wins; on a tie the first letter).
std::optional<WindowsPath> CurrentWindowsPath(State& state) {
    const fs::path cwd = ProcessDirectory();
    if (cwd.empty()) {
        return std::nullopt;
    }
    if (state.current && state.drives.count(state.current->drive) != 0 &&
        SameFolder(cwd, state.currentHost)) {
        return state.current;
    }
    std::optional<WindowsPath> best;
    size_t bestDepth = 0;
    for (const auto& [letter, folder] : state.drives) {
        std::error_code ec;
        const fs::path canonicalFolder = fs::weakly_canonical(folder, ec);
        if (ec) {
            continue;
        }
        const fs::path relative = cwd.lexically_relative(canonicalFolder);
        if (relative.empty() || *relative.begin() == "..") {
            continue;
        }
        const size_t depth =
            static_cast<size_t>(std::distance(canonicalFolder.begin(), canonicalFolder.end()));
        if (best && depth <= bestDepth) {
            continue;
        }
        WindowsPath path;
        path.drive = letter;
        for (const fs::path& part : relative) {
            const std::string name = FromHostName(part.string());
            if (!name.empty() && name != ".") {
                path.components.push_back(name);
            }
        }
        best = std::move(path);
        bestDepth = depth;
    }
    return best;
}

bool NameLess(const DirectoryEntry& a, const DirectoryEntry& b) {
    const auto lower = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
    std::string la(a.name.size(), '\0');
    std::string lb(b.name.size(), '\0');
    std::transform(a.name.begin(), a.name.end(), la.begin(), lower);
    std::transform(b.name.begin(), b.name.end(), lb.begin(), lower);
    return la != lb ? la < lb : a.name < b.name;
}

}  // namespace

std::vector<std::string> DriveRoots() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    std::vector<std::string> roots;
    for (const auto& entry : state.drives) {
        roots.push_back(DriveRoot(entry.first));
    }
    return roots;
}

std::string CurrentDirectory() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    const std::optional<WindowsPath> current = CurrentWindowsPath(state);
    return current ? FormatWindowsPath(*current) : std::string();
}

bool ChangeCurrentDirectory(std::string_view path) {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    const std::optional<WindowsPath> target = Resolve(state, path);
    if (!target) {
        return false;
    }
    const std::optional<fs::path> host = ToHost(state, *target);
    if (!host) {
        return false;
    }
    std::error_code ec;
    if (!fs::is_directory(*host, ec) || ::chdir(host->c_str()) != 0) {
        return false;
    }
    state.current = target;
    state.currentHost = *host;
    return true;
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view directory) {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    const std::optional<WindowsPath> target = Resolve(state, directory);
    if (!target) {
        return std::nullopt;
    }
    const std::optional<fs::path> host = ToHost(state, *target);
    if (!host) {
        return std::nullopt;
    }
    std::error_code ec;
    fs::directory_iterator it(*host, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<DirectoryEntry> entries;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        std::string name = FromHostName(it->path().filename().string());
        if (!IsValidWindowsName(name)) {
            continue;
        }
        std::error_code typeError;
        const bool isDirectory = it->is_directory(typeError);  // follows links, as Windows does
        entries.push_back({std::move(name), isDirectory && !typeError});
    }
    if (ec) {
        return std::nullopt;
    }
    std::sort(entries.begin(), entries.end(), NameLess);
    if (!target->IsRoot()) {
        entries.insert(entries.begin(), {{".", true}, {"..", true}});
    }
    return entries;
}

std::optional<std::vector<DirectoryEntry>> ListCurrentDirectory() {
    const std::string current = CurrentDirectory();
    if (current.empty()) {
        return std::nullopt;
    }
    return ListDirectory(current);
}

std::optional<std::string> HostPath(std::string_view path) {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    const std::optional<WindowsPath> target = Resolve(state, path);
    if (!target) {
        return std::nullopt;
    }
    const std::optional<fs::path> host = ToHost(state, *target);
    if (!host) {
        return std::nullopt;
    }
    return host->string();
}

bool SetDriveMapping(char letter, std::string folder) {
    letter = ToUpper(letter);
    if (letter < 'A' || letter > 'Z' || folder.empty()) {
        return false;
    }
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(folder), ec);
    if (ec) {
        return false;
    }
    absolute = absolute.lexically_normal();
    if (absolute.has_relative_path() && !absolute.has_filename()) {
        absolute = absolute.parent_path();  // "dir/" -> "dir", so prefixes compare cleanly
    }
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    state.drives[letter] = std::move(absolute);
    if (state.current && state.current->drive == letter) {
        state.current.reset();
    }
    return true;
}

bool RemoveDriveMapping(char letter) {
    letter = ToUpper(letter);
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    if (state.current && state.current->drive == letter) {
        state.current.reset();
    }
    return state.drives.erase(letter) != 0;
}

void ResetDriveMappings() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    state.initialised = false;
    state.current.reset();
    EnsureDefaults(state);
}

std::map<char, std::string> DriveMappings() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    EnsureDefaults(state);
    std::map<char, std::string> result;
    for (const auto& [letter, folder] : state.drives) {
        result[letter] = folder.string();
    }
    return result;
}

}  // namespace platform

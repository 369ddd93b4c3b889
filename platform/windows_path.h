#pragma once
// Paths in the controller's form: a drive letter, a colon, then folder names joined by single
// backslashes ("C:\VLX\Roboter"). The directory picker and the pages speak only this form; on
// systems without drive letters file_system.h maps each letter to a folder of the machine.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct WindowsPath {
    char drive = 'C';                     // upper-case 'A' to 'Z'
    std::vector<std::string> components;  // folder names below the drive root; empty at the root

    bool IsRoot() const { return components.empty(); }
    friend bool operator==(const WindowsPath&, const WindowsPath&) = default;
};

// "C:\" for drive C. `letter` may be lower-case.
std::string DriveRoot(char letter);

// Formats a path as the system shows it: "C:\" at a drive root, otherwise "C:\A\B" without a
// trailing backslash.
std::string FormatWindowsPath(const WindowsPath& path);

// Resolves `path` the way the system resolves a path handed to it:
// - "X:\..." (or "X:/...") is absolute; "X:" and "X:name" count from the root of drive X
//   (this program keeps no per-drive current directory);
// - "\..." counts from the root of `base`'s drive, anything else from `base`;
// - "/" separates like "\", doubled separators and "." are dropped, ".." goes up one folder
//   and stays at the root when there is none left.
// `base` must be an absolute path (as from FormatWindowsPath); it is needed only for paths
// that are not absolute. Returns nothing for an empty path, a path that needs a base that is
// not absolute, a UNC path ("\\server\share"), or a name holding a character Windows does not
// allow in file names (< > : " | ? * or a control character).
std::optional<WindowsPath> ResolveWindowsPath(std::string_view base, std::string_view path);

// Whether `name` can be one name in a Windows path: not empty, not "." or "..", and without a
// backslash, a slash or a character Windows does not allow in file names.
bool IsValidWindowsName(std::string_view name);

// Case-insensitive comparison of names the way the file system compares them (ASCII letters).
bool SameName(std::string_view a, std::string_view b);

}  // namespace platform

#pragma once
// The file system as the directory picker needs it: drive roots, the process's current
// directory, and directory listings. Every path going in or out is in the controller's form
// ("C:\A\B", see windows_path.h).
//
// On Windows these are the system's own drives and calls (GetLogicalDriveStringsA,
// GetCurrentDirectoryA, SetCurrentDirectoryA, FindFirstFileA/FindNextFileA).
//
// Elsewhere each drive letter stands for a folder of this machine (SetDriveMapping; by default
// only C:, for the user's home folder, or "/" when HOME is not set). "C:\A\B" then means the
// folder A/B below the folder of C:. As on Windows, names are matched without regard to letter
// case when no entry has the exact name, and the current directory is the process's own, so
// relative file names of the process follow it. Names there are UTF-8 and are shown in the
// controller's code page (Windows-1252) when all their characters exist in it; other names keep
// their bytes.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DirectoryEntry {
    std::string name;
    bool isDirectory = false;

    friend bool operator==(const DirectoryEntry&, const DirectoryEntry&) = default;
};

// True where drive letters are mapped to folders by this module (everywhere but Windows).
#ifdef _WIN32
inline constexpr bool kDrivesAreMapped = false;
#else
inline constexpr bool kDrivesAreMapped = true;
#endif

// The logical drive roots, each as letter, colon, backslash ("C:\"): on Windows in the system's
// order, elsewhere one per mapped letter in alphabetical order. A mapped folder that does not
// exist still has its root listed; making it current fails.
std::vector<std::string> DriveRoots();

// The current directory ("C:\" at a drive root, "C:\A\B" below it). Empty when the system
// cannot say, or (mapped drives) when the process's directory lies under no mapped folder.
std::string CurrentDirectory();

// Makes `path` the current directory; relative paths count from the current one. Returns false
// and leaves the current directory as it was when the path does not name an accessible
// directory (a drive without a folder, a missing folder, a file, no permission).
bool ChangeCurrentDirectory(std::string_view path);

// The entries of `directory` (relative paths count from the current directory), as a search
// for "*" in it returns them: directories and files alike, "." and ".." included below a drive
// root and absent at a drive root. Nothing when the directory cannot be read. On Windows the
// order is the file system's; with mapped drives "." and ".." come first and the rest follows
// in case-insensitive name order. Mapped drives leave out names that a Windows path cannot
// hold (with a backslash or one of < > : " | ? * or a control character), because no
// controller path could name them.
std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view directory);

// ListDirectory for the current directory.
std::optional<std::vector<DirectoryEntry>> ListCurrentDirectory();

// The path of this machine for a controller path (resolved like ChangeCurrentDirectory does, so
// letter case is matched as there; missing trailing names are kept as given). On Windows the
// full path itself. Nothing when the path is malformed or its drive is not mapped.
std::optional<std::string> HostPath(std::string_view path);

// --- Drive mapping (mapped drives only; on Windows these change nothing and return false) ---

// Lets `letter` (A to Z, either case) stand for `folder`, replacing an earlier mapping of the
// letter. A relative folder is made absolute against the process's directory now. The folder
// need not exist yet. Returns false for anything but a letter or an empty folder.
bool SetDriveMapping(char letter, std::string folder);

// Removes the mapping of `letter`; returns whether there was one.
bool RemoveDriveMapping(char letter);

// Back to the default mapping (C: only, see above).
void ResetDriveMappings();

// The mapped letters (upper case) and their folders.
std::map<char, std::string> DriveMappings();

}  // namespace platform

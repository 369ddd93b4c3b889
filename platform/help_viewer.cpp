#include "platform/help_viewer.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace platform {

#ifdef _WIN32
namespace {

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The help file beside the program, or "" when there is none.
std::string HelpFileBesideProgram() {
    char module[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string path(module, length);
    path.erase(path.find_last_of("\\/") + 1);
    path += kHelpFileName;
    return FileExists(path) ? path : std::string();
}

// Windows since version 10 ships no WinHelp viewer; WinHelpA then still "succeeds" and only
// tells the user that the feature is gone, so the viewer's presence is checked first.
bool HasWinHelpViewer() {
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    return length != 0 && length < MAX_PATH &&
           FileExists(std::string(windows, length) + "\\winhlp32.exe");
}

}  // namespace
#endif

bool OpenHelpContents(std::uintptr_t ownerWindow) {
#ifdef _WIN32
    const std::string helpFile = HelpFileBesideProgram();
    if (helpFile.empty() || !HasWinHelpViewer())
        return false;
    return WinHelpA(reinterpret_cast<HWND>(ownerWindow), helpFile.c_str(), HELP_CONTENTS, 0) !=
           FALSE;
#else
    (void)ownerWindow;
    return false;
#endif
}

}  // namespace platform

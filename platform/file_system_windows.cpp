// The system's own drives and directory calls.
#include <windows.h>

#include "platform/file_system.h"

namespace platform {

std::vector<std::string> DriveRoots() {
    // Drives may come and go between the two calls, so ask until the buffer was big enough.
    std::string buffer(256, '\0');
    for (;;) {
        const DWORD length =
            GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.assign(length + 1, '\0');
    }
    std::vector<std::string> roots;
    for (size_t pos = 0; pos < buffer.size();) {
        const size_t end = buffer.find('\0', pos);
        const size_t stop = end == std::string::npos ? buffer.size() : end;
        if (stop > pos) {
            roots.push_back(buffer.substr(pos, stop - pos));
        }
        pos = stop + 1;
    }
    return roots;
}

std::string CurrentDirectory() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(length, '\0');  // the size needed, terminating zero included
    }
}

bool ChangeCurrentDirectory(std::string_view path) {
    const std::string text(path);
    return !text.empty() && SetCurrentDirectoryA(text.c_str()) != FALSE;
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view directory) {
    std::string pattern(directory);
    if (pattern.empty()) {
        return std::nullopt;
    }
    if (pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':') {
        pattern += '\\';
    }
    pattern += '*';

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        // An empty drive root has no entries at all, not even "." and "..".
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return std::vector<DirectoryEntry>{};
        }
        return std::nullopt;
    }
    std::vector<DirectoryEntry> entries;
    do {
        entries.push_back(
            {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find, &data) != FALSE);
    const DWORD error = GetLastError();
    FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        return std::nullopt;
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
    const std::string text(path);
    if (text.empty()) {
        return std::nullopt;
    }
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetFullPathNameA(text.c_str(), static_cast<DWORD>(buffer.size()),
                                              buffer.data(), nullptr);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(length, '\0');
    }
}

bool SetDriveMapping(char, std::string) {
    return false;
}

bool RemoveDriveMapping(char) {
    return false;
}

void ResetDriveMappings() {}

std::map<char, std::string> DriveMappings() {
    return {};
}

}  // namespace platform

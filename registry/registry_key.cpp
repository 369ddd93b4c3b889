#include "registry/registry_key.h"

#include <cstring>

RegistryKey::~RegistryKey() {
    Close();
}

LONG RegistryKey::Open(HKEY parent, const char* path, REGSAM access) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(parent, path, 0, access, &key);
    if (result != ERROR_SUCCESS)
        return result;
    Close();
    handle_ = key;
    return ERROR_SUCCESS;
}

LONG RegistryKey::Create(HKEY parent, const char* path) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, &key, &disposition);
    if (result != ERROR_SUCCESS)
        return result;
    Close();
    handle_ = key;
    return ERROR_SUCCESS;
}

LONG RegistryKey::Close() {
    if (handle_ == nullptr)
        return ERROR_SUCCESS;
    const LONG result = RegCloseKey(handle_);
    handle_ = nullptr;
    return result;
}

LONG RegistryKey::QueryString(const char* valueName, char* buffer, DWORD* count) {
    return QueryCheckedString(handle_, valueName, buffer, count);
}

LONG QueryCheckedString(HKEY key, const char* valueName, char* buffer, DWORD* count) {
    // A missing count is a caller's mistake; refuse it rather than guess a size.
    if (count == nullptr)
        return ERROR_INVALID_PARAMETER;
    const DWORD capacity = *count;
    auto makeEmpty = [&] {
        if (buffer != nullptr && capacity > 0)
            buffer[0] = 0;
    };
    DWORD type = REG_NONE;
    const LONG result =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), count);
    if (buffer == nullptr)
        return result;
    // Too small a buffer: the count now names the size needed, past the buffer's end, so the
    // data must not be inspected; the caller gets an empty string and the failure.
    if (result == ERROR_MORE_DATA || *count > capacity) {
        makeEmpty();
        return result != ERROR_SUCCESS ? result : ERROR_MORE_DATA;
    }
    if (*count == 0) {
        makeEmpty();
        return result;
    }
    if (IsCheckedString(type, buffer, *count))
        return result;
    makeEmpty();
    return ERROR_INVALID_DATA;
}

bool IsCheckedString(DWORD type, const char* data, DWORD count) {
    if (count == 0)
        return true;
    const DWORD last = count - 1;
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return data[last] == 0;
    if (type == REG_MULTI_SZ)
        return data[last] == 0 && (count == 1 || data[last - 1] == 0);
    return false;
}

LONG RegistryKey::SetString(const char* valueName, const char* text) {
    if (text == nullptr)
        text = "";
    return RegSetValueExA(handle_, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
}

LONG RegistryKey::SetNumber(const char* valueName, DWORD value) {
    BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                     static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    return RegSetValueExA(handle_, valueName, 0, REG_DWORD, bytes, sizeof bytes);
}

LONG RegistryKey::DeleteKeyTree(const char* subkeyName) {
    return ::DeleteKeyTree(handle_, subkeyName);
}

LONG DeleteKeyTree(HKEY parent, const char* subkeyName) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(parent, subkeyName, 0, KEY_READ | KEY_WRITE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    // Always index 0: each deleted child moves the others down. Most children have none of
    // their own, and the system refuses to delete one that has: try the one call first, and
    // open and walk the child only when it is refused, which saves three calls per leaf where
    // every call is a round trip to the system.
    char name[256];
    while (true) {
        DWORD size = sizeof name;
        FILETIME written;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, &written) !=
            ERROR_SUCCESS)
            break;
        result = RegDeleteKeyA(key, name);
        if (result != ERROR_SUCCESS)
            result = DeleteKeyTree(key, name);
        if (result != ERROR_SUCCESS) {
            RegCloseKey(key);
            return result;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, subkeyName);
}

#pragma once
// The registry entry points the pages call. On Windows they are the system's own; everywhere
// else this header declares the same types, constants and functions, and the .reg file store
// (file_store.cpp) implements them, so page code is identical on both.

#ifdef _WIN32
#include <windows.h>

// The registry view. The operator interface that reads the program's areas is built from 32-bit
// controls, and a 32-bit program on 64-bit Windows sees HKEY_LOCAL_MACHINE\Software redirected
// to Software\WOW6432Node. So every open, create and delete here asks for the 32-bit view:
// this 64-bit program then edits the keys the operator interface reads (on 32-bit Windows the
// flag is ignored). The macros below route the pages' calls through these wrappers, so page
// code stays the same on both platforms. A caller that names a view itself (a test looking at
// the 64-bit one) keeps it.
namespace registry {

inline constexpr REGSAM kRegistryView = KEY_WOW64_32KEY;

// Asked before every call that may change the registry (registry/write_hook.h).
LONG BeforeRegistryWrite();

inline REGSAM WithView(REGSAM access) {
    return (access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY)) != 0 ? access : access | kRegistryView;
}

inline LONG ViewRegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    return ::RegOpenKeyExA(key, subKey, options, WithView(access), result);
}

inline LONG ViewRegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                                PHKEY result, LPDWORD disposition) {
    // Windows refuses a path that starts with a backslash (161, ERROR_BAD_PATHNAME) in either
    // view; Wine creates the key in the 32-bit view. Answer as Windows does.
    if (subKey != nullptr && *subKey == '\\')
        return ERROR_BAD_PATHNAME;
    if (const LONG refused = BeforeRegistryWrite())
        return refused;
    return ::RegCreateKeyExA(key, subKey, reserved, keyClass, options, WithView(access), security,
                             result, disposition);
}

inline LONG ViewRegDeleteKeyA(HKEY key, LPCSTR subKey) {
    // RegDeleteKeyA rejects a missing name; RegDeleteKeyExA would not, so keep that answer.
    if (subKey == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (const LONG refused = BeforeRegistryWrite())
        return refused;
    return ::RegDeleteKeyExA(key, subKey, kRegistryView, 0);
}

inline LONG HookedRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                 const BYTE* data, DWORD size) {
    if (const LONG refused = BeforeRegistryWrite())
        return refused;
    return ::RegSetValueExA(key, name, reserved, type, data, size);
}

inline LONG HookedRegDeleteValueA(HKEY key, LPCSTR name) {
    if (const LONG refused = BeforeRegistryWrite())
        return refused;
    return ::RegDeleteValueA(key, name);
}

// RegQueryValueA opens `subKey` itself, in the default view: open it here in ours.
inline LONG ViewRegQueryValueA(HKEY key, LPCSTR subKey, LPSTR data, PLONG size) {
    if (subKey == nullptr || *subKey == '\0')
        return ::RegQueryValueA(key, subKey, data, size);
    HKEY child = nullptr;
    const LONG opened = ::RegOpenKeyExA(key, subKey, 0, KEY_QUERY_VALUE | kRegistryView, &child);
    if (opened != ERROR_SUCCESS)
        return opened;
    const LONG result = ::RegQueryValueA(child, nullptr, data, size);
    ::RegCloseKey(child);
    return result;
}

}  // namespace registry

#define RegOpenKeyExA ::registry::ViewRegOpenKeyExA
#define RegCreateKeyExA ::registry::ViewRegCreateKeyExA
#define RegDeleteKeyA ::registry::ViewRegDeleteKeyA
#define RegQueryValueA ::registry::ViewRegQueryValueA
#define RegSetValueExA ::registry::HookedRegSetValueExA
#define RegDeleteValueA ::registry::HookedRegDeleteValueA
#else
#include <cstdint>

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint8_t BYTE;
typedef char CHAR;
typedef DWORD* LPDWORD;
typedef LONG* PLONG;
typedef BYTE* LPBYTE;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef DWORD REGSAM;

struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
typedef FILETIME* PFILETIME;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u)))

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegCloseKey(HKEY hKey);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LONG RegQueryValueA(HKEY hKey, LPCSTR lpSubKey, LPSTR lpData, PLONG lpcbData);
#endif

#pragma once
// Owner of one open registry key for the length of one page operation.

#include "registry/win_registry.h"

class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // RegOpenKeyExA; on success closes the key held before and keeps the new one.
    LONG Open(HKEY parent, const char* path, REGSAM access = KEY_ALL_ACCESS);
    // RegCreateKeyExA with read and write access, creating missing parents.
    LONG Create(HKEY parent, const char* path);
    // Closes the held key, if any; 0 when nothing was held.
    LONG Close();

    // The checked string query: 13 and an empty buffer for anything that is not a properly
    // terminated string (a missing value included). `count` is the buffer size in bytes on
    // entry and the data size on return. A buffer too small for the data gives 234 (the count
    // then names the size needed) and an empty buffer, and nothing is read or written past its
    // end; a null count gives 87 and leaves the buffer alone.
    LONG QueryString(const char* valueName, char* buffer, DWORD* count);
    LONG SetString(const char* valueName, const char* text);
    LONG SetNumber(const char* valueName, DWORD value);

    // Deletes the named subkey of the held key with everything below it, depth first; the
    // empty name deletes the held key itself.
    LONG DeleteKeyTree(const char* subkeyName);

    HKEY Handle() const { return handle_; }
    operator HKEY() const { return handle_; }

  private:
    HKEY handle_ = nullptr;
};

// The checked string query of RegistryKey::QueryString on any open key.
LONG QueryCheckedString(HKEY key, const char* valueName, char* buffer, DWORD* count);
// Its check of `count` bytes of `type` read whole: a properly terminated REG_SZ, REG_EXPAND_SZ
// or REG_MULTI_SZ, or nothing at all (the empty string).
bool IsCheckedString(DWORD type, const char* data, DWORD count);

// Depth-first delete of `subkeyName` under `parent` (the empty name deletes `parent` itself).
LONG DeleteKeyTree(HKEY parent, const char* subkeyName);

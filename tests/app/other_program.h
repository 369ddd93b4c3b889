#pragma once
// The registry file as another program sees it: its bytes, and a value read by a store of its
// own. For the tests and the soak run of programs sharing one file.

#include <fstream>
#include <sstream>
#include <string>

#include "registry/file_store.h"

namespace otherprogram {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The bytes of a value (a text without its terminating zero), "" when the key or the value is
// missing.
inline std::string ReadValue(const std::string& file, const char* keyPath, const char* name) {
    std::string error;
    auto store = registry::FileStore::Open(file, &error);
    if (!store)
        return "unreadable: " + error;
    HKEY key = nullptr;
    if (store->OpenKey(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string bytes(256, '\0');
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = 0;
    if (store->QueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                            &size) != ERROR_SUCCESS)
        size = 0;
    store->CloseKey(key);
    bytes.resize(size);
    if (type == REG_SZ && !bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

}  // namespace otherprogram

// On Windows the program works on the system registry: no file to bind, no batches and no store
// errors of its own.
#ifdef _WIN32

#include "registry/registry_store.h"

#include "registry/win_registry.h"

namespace registry {

std::string OpenFileStore(const std::string& path, StoreWrites) {
    return path + ": there is no registry file store on Windows; the system registry is used.";
}

std::optional<RegFileFormat> FileStoreFormat() {
    return std::nullopt;
}

void CloseFileStore() {}

RegistryBatch::RegistryBatch() = default;
RegistryBatch::~RegistryBatch() = default;

std::string TakeStoreError() {
    return {};
}

bool CanWriteMachineSettings() {
    // Creating a subkey of Software is what a page's first Apply may need; the open asks for
    // that right only, so it succeeds exactly when such writes would.
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                      &software) != ERROR_SUCCESS)
        return false;
    RegCloseKey(software);
    return true;
}

}  // namespace registry

#endif

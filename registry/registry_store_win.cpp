// On Windows the program works on the system registry: no file to bind, no batches and no store
// errors of its own.
#ifdef _WIN32

#include "registry/registry_store.h"

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

}  // namespace registry

#endif

// On Windows the system registry needs no batches and keeps no store errors of its own.
#ifdef _WIN32

#include "registry/registry_store.h"

namespace registry {

RegistryBatch::RegistryBatch() = default;
RegistryBatch::~RegistryBatch() = default;

std::string TakeStoreError() {
    return {};
}

}  // namespace registry

#endif

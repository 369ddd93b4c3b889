#include "pages/common/area_contract.h"

#include <algorithm>

#include "registry/key_snapshot.h"
#include "registry/registry_key.h"

namespace common {

std::string MessageKeyText(const AreaDescriptor& area) {
    std::string text;
    for (const std::string_view key : area.messageKeys) {
        if (!text.empty())
            text += '\n';
        text += key;
    }
    return text;
}

bool AreaResult::WasRead(std::string_view key) const {
    return std::find(read.begin(), read.end(), key) != read.end();
}

bool AreaResult::HasFailed(std::string_view key) const {
    return std::find(failed.begin(), failed.end(), key) != failed.end();
}

bool OpenAreaKey(RegistryKey& key, const char* path, std::uint32_t access, AreaResult& result) {
    if (const LONG opened = key.Open(HKEY_LOCAL_MACHINE, path, access); opened != ERROR_SUCCESS) {
        result.AddFailure(path, opened);
        return false;
    }
    result.AddRead(path);
    return true;
}

std::string AreaResult::MessageKeyText() const {
    return Ok() || area == nullptr ? std::string() : common::MessageKeyText(*area);
}

bool ReplaceAreaKey(const char* path, registry::KeySnapshot& wanted, AreaResult& result) {
    registry::Settle(wanted);
    if (const LONG replaced = registry::ReplaceKeyTree(HKEY_LOCAL_MACHINE, path, wanted)) {
        result.AddFailure(path, replaced);
        return false;
    }
    return true;
}

}  // namespace common

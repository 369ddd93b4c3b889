#include "pages/common/area_contract.h"

#include <algorithm>

#include "registry/area_copy.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"

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

bool OpenAreaKey(RegistryKey& key, std::string_view path, std::uint32_t access,
                 AreaResult& result) {
    if (const LONG opened = key.Open(HKEY_LOCAL_MACHINE, std::string(path).c_str(), access);
        opened != ERROR_SUCCESS) {
        result.AddFailure(path, opened);
        return false;
    }
    result.AddRead(path);
    return true;
}

std::string AreaResult::MessageKeyText() const {
    return Ok() || area == nullptr ? std::string() : common::MessageKeyText(*area);
}

std::vector<std::optional<registry::KeySnapshot>> ReadAreaCopy(const AreaDescriptor& area,
                                                               registry::AreaCopy& copy,
                                                               AreaResult& result) {
    std::vector<bool> opened;
    for (std::string_view path : area.keys) {
        RegistryKey key;
        opened.push_back(OpenAreaKey(key, path, KEY_ALL_ACCESS, result));
    }
    copy = registry::AreaCopy::Read({area.keys.begin(), area.keys.end()});
    // Only the system registry's saves run in a journal (app/apply_journal.h); elsewhere a
    // second copy of a large area would only cost memory.
    std::vector<std::optional<registry::KeySnapshot>> contents;
    for (std::size_t i = 0; i < area.keys.size(); ++i) {
        if (!opened[i])
            contents.emplace_back();
        else if (registry::kRegistryIsFile)
            contents.push_back(copy.Take(area.keys[i]));
        else if (const registry::KeySnapshot* read = copy.Contents(area.keys[i]))
            contents.emplace_back(*read);
        else
            contents.emplace_back();
    }
    return contents;
}

bool ReplaceAreaKey(const char* path, registry::KeySnapshot& wanted, AreaResult& result,
                    bool valuesByName) {
    registry::Settle(wanted);
    if (const LONG replaced = registry::ReplaceKeyTree(
            HKEY_LOCAL_MACHINE, path, wanted, registry::WhenEmpty::Delete,
            valuesByName ? registry::ValueOrder::Free : registry::ValueOrder::AsWanted)) {
        result.AddFailure(path, replaced);
        return false;
    }
    return true;
}

}  // namespace common

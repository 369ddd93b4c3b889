#include "pages/upgrade/system_type_definition.h"

#include <algorithm>

#include "common/text_rules.h"

namespace upgrade {

std::optional<std::size_t> SystemTypeDefinition::FindFile(std::string_view fileName) const {
    for (std::size_t i = 0; i < filesAndVersions.size(); ++i) {
        if (common::EqualsNoCase(filesAndVersions[i].file, fileName)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t SystemTypeDefinition::AddOrUpdateFile(const std::string& fileName,
                                                  const std::string& version) {
    if (const auto found = FindFile(fileName)) {
        FileVersion& existing = filesAndVersions[*found];
        existing.version = version;
        existing.stored.reset();
        return *found;
    }
    filesAndVersions.push_back(FileVersion{fileName, version, std::nullopt});
    return filesAndVersions.size() - 1;
}

bool SystemTypeDefinition::RemoveFile(std::string_view fileName, std::string_view version) {
    const auto found = std::find_if(filesAndVersions.begin(), filesAndVersions.end(),
                                    [&](const FileVersion& entry) {
                                        return common::EqualsNoCase(entry.file, fileName) &&
                                               common::EqualsNoCase(entry.version, version);
                                    });
    if (found == filesAndVersions.end()) {
        return false;
    }
    filesAndVersions.erase(found);
    return true;
}

SystemTypeDefinition* FindSystemType(const SystemTypeList& systemTypes, std::string_view name) {
    for (const auto& systemType : systemTypes) {
        if (common::EqualsNoCase(systemType->name, name)) {
            return systemType.get();
        }
    }
    return nullptr;
}

std::optional<std::size_t> FindWatchedPath(const WatchedPathList& paths, std::string_view name) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (common::EqualsNoCase(paths[i].name, name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string DataAsText(const std::vector<uint8_t>& data) {
    const auto end = std::find(data.begin(), data.end(), uint8_t{0});
    return std::string(data.begin(), end);
}

}  // namespace upgrade

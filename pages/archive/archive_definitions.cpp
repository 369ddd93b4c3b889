#include "pages/archive/archive_definitions.h"

#include <algorithm>
#include <utility>

#include "common/text_rules.h"

namespace archive {
namespace {

int FindNoCase(const std::vector<std::string>& list, std::string_view text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (common::EqualsNoCase(list[i], text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <class List>
auto* FindByName(const List& list, std::string_view name) {
    using Record = typename List::value_type::element_type;
    if (name.empty()) {
        return static_cast<Record*>(nullptr);
    }
    for (const auto& record : list) {
        if (common::EqualsNoCase(record->name, name)) {
            return record.get();
        }
    }
    return static_cast<Record*>(nullptr);
}

template <class List, class Record>
void EraseRecord(List& list, const Record* record) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [record](const auto& r) { return r.get() == record; }),
               list.end());
}

}  // namespace

int ArchivePathDefinition::FindPath(std::string_view path) const {
    return FindNoCase(paths, path);
}

int ArchivePathDefinition::AddPath(std::string path) {
    if (const int existing = FindPath(path); existing >= 0) {
        return existing;
    }
    paths.push_back(std::move(path));
    if (paths.size() == 1) {
        defaultIndex = 0;
    }
    return static_cast<int>(paths.size()) - 1;
}

bool ArchivePathDefinition::RemovePath(int index) {
    if (index < 0 || index >= static_cast<int>(paths.size())) {
        return false;
    }
    paths.erase(paths.begin() + index);
    if (index == defaultIndex) {
        defaultIndex = 0;
    } else if (index < defaultIndex) {
        --defaultIndex;
    }
    return true;
}

int ArchiveConfigurationDefinition::FindRegistrySource(std::string_view source) const {
    return FindNoCase(registrySources, source);
}

int ArchiveConfigurationDefinition::FindFileSource(std::string_view source) const {
    return FindNoCase(fileSources, source);
}

int ArchiveConfigurationDefinition::AddRegistrySource(std::string source) {
    if (const int existing = FindRegistrySource(source); existing >= 0) {
        return existing;
    }
    registrySources.push_back(std::move(source));
    return static_cast<int>(registrySources.size()) - 1;
}

int ArchiveConfigurationDefinition::AddFileSource(std::string source) {
    int index = FindFileSource(source);
    if (index < 0) {
        source = FileSourceForm(std::move(source));
        index = FindFileSource(source);
    }
    if (index < 0) {
        fileSources.push_back(std::move(source));
        fileSourceEnabled.push_back(1);
        index = static_cast<int>(fileSources.size()) - 1;
    }
    fileSourceEnabled[static_cast<std::size_t>(index)] = 1;
    return index;
}

bool ArchiveConfigurationDefinition::RemoveRegistrySource(std::string_view source) {
    const int index = FindRegistrySource(source);
    if (index < 0) {
        return false;
    }
    registrySources.erase(registrySources.begin() + index);
    return true;
}

bool ArchiveConfigurationDefinition::RemoveFileSource(std::string_view source) {
    const int index = FindFileSource(source);
    if (index < 0) {
        return false;
    }
    fileSources.erase(fileSources.begin() + index);
    fileSourceEnabled.erase(fileSourceEnabled.begin() + index);
    return true;
}

ArchivePathDefinition* FindPathDefinition(const PathDefinitionList& list, std::string_view name) {
    return FindByName(list, name);
}

ArchiveConfigurationDefinition* FindConfiguration(const ConfigurationList& list,
                                                  std::string_view name) {
    return FindByName(list, name);
}

std::string FileSourceForm(std::string path) {
    if (path.find('.') == std::string::npos && (path.empty() || path.back() != '\\')) {
        path += '\\';
    }
    return path;
}

bool IsValidKeyName(std::string_view name) {
    return !name.empty() && name.find('\\') == std::string_view::npos;
}

ArchiveConfigurationDefinition& ArchiveArea::AddConfiguration(std::string name) {
    const auto removed =
        std::remove_if(removedConfigurations.begin(), removedConfigurations.end(),
                       [&name](const std::string& n) { return common::EqualsNoCase(n, name); });
    auto record = std::make_unique<ArchiveConfigurationDefinition>();
    // Its key is still there: removing the new record again must delete it.
    record->loaded = removed != removedConfigurations.end();
    removedConfigurations.erase(removed, removedConfigurations.end());
    record->name = std::move(name);
    configurations.push_back(std::move(record));
    return *configurations.back();
}

void ArchiveArea::RemoveConfiguration(const ArchiveConfigurationDefinition* configuration) {
    if (configuration == nullptr) {
        return;
    }
    if (configuration->loaded) {
        removedConfigurations.push_back(configuration->name);
    }
    EraseRecord(configurations, configuration);
}

ArchivePathDefinition& ArchiveArea::AddPathDefinition(std::string name) {
    auto record = std::make_unique<ArchivePathDefinition>();
    record->name = std::move(name);
    pathDefinitions.push_back(std::move(record));
    return *pathDefinitions.back();
}

void ArchiveArea::RemovePathDefinition(const ArchivePathDefinition* definition) {
    EraseRecord(pathDefinitions, definition);
}

}  // namespace archive

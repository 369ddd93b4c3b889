#include "pages/archive/archive_registry.h"

#include <string>
#include <utility>
#include <vector>

#include "registry/area_copy.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/win_registry.h"

namespace archive {
namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

std::string Join(const std::string& parent, const std::string& name) {
    return parent + "\\" + name;
}

// Whether a value's data begins with a non-zero byte; empty data is the empty string.
bool StartsNonZero(const registry::RegValue& value) {
    return !value.data.empty() && value.data.front() != 0;
}

void LoadPathDefinition(registry::KeySnapshot& key, ArchivePathDefinition& definition) {
    for (registry::RegValue& value : key.values) {
        if (StartsNonZero(value)) {
            definition.defaultIndex = static_cast<std::int32_t>(definition.paths.size());
        }
        definition.paths.push_back(std::move(value.name));
    }
    definition.kept.subkeys = std::move(key.subkeys);
    if (definition.defaultIndex < 0) {
        definition.defaultIndex = 0;
    }
}

// The values of the source key `keyName` of a configuration (none when it has none), and the
// subkeys it holds into `kept`.
std::vector<registry::RegValue> LoadSources(registry::KeySnapshot& configurationKey,
                                            const char* keyName, registry::KeySnapshot& kept) {
    registry::KeySnapshot* key = configurationKey.FindSubkey(keyName);
    if (key == nullptr) {
        return {};
    }
    kept.subkeys = std::move(key->subkeys);
    return std::move(key->values);
}

void LoadConfiguration(registry::KeySnapshot& key, ArchiveConfigurationDefinition& configuration) {
    for (registry::RegValue& value :
         LoadSources(key, kRegistrySourceKey, configuration.keptRegistrySourceKeys)) {
        configuration.registrySources.push_back(std::move(value.name));
    }
    for (registry::RegValue& value :
         LoadSources(key, kFileSourceKey, configuration.keptFileSourceKeys)) {
        configuration.fileSourceEnabled.push_back(StartsNonZero(value) ? 0 : 1);
        configuration.fileSources.push_back(std::move(value.name));
    }
}

// The records are made from the copy the load reads of both keys (kept for the journal), so
// the area is read once.
void LoadPaths(ArchiveArea& area, registry::KeySnapshot path) {
    area.pathAreaRead = true;
    area.pathKeyValues.values = std::move(path.values);
    for (registry::KeySnapshot& subkey : path.subkeys) {
        ArchivePathDefinition& definition = area.AddPathDefinition(std::move(subkey.name));
        LoadPathDefinition(subkey, definition);
    }
}

void LoadConfigurations(ArchiveArea& area, registry::KeySnapshot config) {
    for (registry::KeySnapshot& subkey : config.subkeys) {
        auto configuration = std::make_unique<ArchiveConfigurationDefinition>();
        configuration->name = std::move(subkey.name);
        configuration->loaded = true;
        LoadConfiguration(subkey, *configuration);
        area.configurations.push_back(std::move(configuration));
    }
}

// The saves build each key as it is to be, then write only what differs from what is stored.
void SavePathDefinition(const ArchivePathDefinition& definition, registry::KeySnapshot& pathKey) {
    registry::KeySnapshot& key = registry::AddKeyPath(pathKey, definition.name);
    for (std::size_t i = 0; i < definition.paths.size(); ++i) {
        const bool isDefault = static_cast<std::int32_t>(i) == definition.defaultIndex;
        key.values.push_back(
            registry::TextValue(definition.paths[i], isDefault ? kDefaultData : ""));
    }
    key.values.insert(key.values.end(), definition.kept.values.begin(),
                      definition.kept.values.end());
    key.subkeys.insert(key.subkeys.end(), definition.kept.subkeys.begin(),
                       definition.kept.subkeys.end());
}

// The source key `keyName` of the configuration `configuration` below the Config key
// `configKey` (HKEY_LOCAL_MACHINE when that is not open), made even when empty.
LONG SaveSources(HKEY configKey, const std::string& configuration, const char* keyName,
                 const std::vector<std::string>& sources, const std::vector<std::uint8_t>* enabled,
                 const registry::KeySnapshot& kept) {
    registry::KeySnapshot key;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const bool checked = enabled == nullptr || (i < enabled->size() && (*enabled)[i] != 0);
        key.values.push_back(registry::TextValue(sources[i], checked ? "" : kUncheckedData));
    }
    key.values.insert(key.values.end(), kept.values.begin(), kept.values.end());
    key.subkeys.insert(key.subkeys.end(), kept.subkeys.begin(), kept.subkeys.end());
    registry::Settle(key);
    if (configKey == HKEY_LOCAL_MACHINE) {
        return registry::ReplaceKeyTree(HKEY_LOCAL_MACHINE,
                                        Join(Join(kConfigKeyPath, configuration), keyName), key,
                                        registry::WhenEmpty::Keep);
    }
    return registry::ReplaceKeyTreeBelow(configKey, kConfigKeyPath, Join(configuration, keyName),
                                         key, registry::WhenEmpty::Keep);
}

void SaveConfiguration(HKEY configKey, const ArchiveConfigurationDefinition& configuration) {
    SaveSources(configKey, configuration.name, kRegistrySourceKey, configuration.registrySources,
                nullptr, configuration.keptRegistrySourceKeys);
    SaveSources(configKey, configuration.name, kFileSourceKey, configuration.fileSources,
                &configuration.fileSourceEnabled, configuration.keptFileSourceKeys);
}

// A Path key that could not be read at load is not replaced: the definitions are written over
// whatever it holds now.
void WritePathDefinitionsOver(const ArchiveArea& area) {
    for (const auto& definition : area.pathDefinitions) {
        registry::KeySnapshot key;
        SavePathDefinition(*definition, key);
        registry::Settle(key);
        registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, kPathKeyPath, key);
    }
    registry::WriteKeyValues(HKEY_LOCAL_MACHINE, kPathKeyPath, area.pathKeyValues);
}

}  // namespace

common::AreaResult ArchiveRegistry::Load(ArchiveArea& area) {
    area = ArchiveArea{};
    common::AreaResult result(kArchiveManagerArea);
    registry::RegistryBatch batch;
    // Each key is read when it can be, so a missing Path key does not hide the configurations
    // (and "&Apply" cannot erase them).
    auto keys = common::ReadAreaCopy(kArchiveManagerArea, area.asRead, result);
    if (keys[0]) {
        LoadPaths(area, std::move(*keys[0]));
    }
    if (keys[1]) {
        LoadConfigurations(area, std::move(*keys[1]));
    }
    return result;
}

common::AreaResult ArchiveRegistry::Save(const ArchiveArea& area) {
    registry::RegistryBatch batch;
    if (area.pathAreaRead) {
        registry::KeySnapshot pathKey;
        for (const auto& definition : area.pathDefinitions) {
            SavePathDefinition(*definition, pathKey);
        }
        pathKey.values = area.pathKeyValues.values;
        registry::Settle(pathKey);
        registry::ReplaceKeyTree(HKEY_LOCAL_MACHINE, kPathKeyPath, pathKey);
    } else {
        WritePathDefinitionsOver(area);
    }

    // One open of the Config key for all configurations. A missing one is made by the first
    // configuration's write, from the root, as before.
    RegistryKey configKey;
    const bool configOpened =
        configKey.Open(HKEY_LOCAL_MACHINE, kConfigKeyPath, kReadWrite) == ERROR_SUCCESS;
    if (configOpened) {
        for (const std::string& name : area.removedConfigurations) {
            // The empty name would delete the Config key itself.
            if (IsValidKeyName(name)) {
                configKey.DeleteKeyTree(name.c_str());
            }
        }
    }
    for (const auto& configuration : area.configurations) {
        SaveConfiguration(configOpened ? static_cast<HKEY>(configKey) : HKEY_LOCAL_MACHINE,
                          *configuration);
    }
    return common::AreaResult(kArchiveManagerArea);
}

}  // namespace archive

#include "pages/upgrade/upgrade_registry.h"

#include <string>
#include <utility>

#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/win_registry.h"

namespace upgrade {
namespace {

const std::string kWatchedPathsKeyPath = std::string(kUpgradeKeyPath) + "\\" + kWatchedPathsKeyName;

void LoadSystemType(HKEY version, SystemTypeDefinition& systemType) {
    RegistryKey key;
    if (key.Open(version, systemType.name.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        systemType.loaded = false;
        return;
    }
    registry::KeySnapshot snapshot;
    registry::ReadKeySnapshot(key, &snapshot);
    for (registry::RegValue& value : snapshot.values) {
        FileVersion file;
        file.file = value.name;
        file.version = DataAsText(value.data);
        file.stored = std::move(value);
        systemType.filesAndVersions.push_back(std::move(file));
    }
    systemType.keptSubkeys = std::move(snapshot.subkeys);
}

void WriteFile(HKEY key, const FileVersion& file) {
    if (file.stored) {
        registry::SetRawValue(key, file.stored->name, file.stored->type, file.stored->data);
    } else {
        RegSetValueExA(key, file.file.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(file.version.c_str()),
                       static_cast<DWORD>(file.version.size() + 1));
    }
}

void SaveSystemType(const SystemTypeDefinition& systemType) {
    if (!systemType.loaded) {
        return;
    }
    {
        RegistryKey version;
        if (version.Open(HKEY_LOCAL_MACHINE, kVersionKeyPath, KEY_READ | KEY_WRITE) ==
            ERROR_SUCCESS) {
            version.DeleteKeyTree(systemType.name.c_str());
        }
    }
    const std::string path = std::string(kVersionKeyPath) + "\\" + systemType.name;
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS) {
        return;
    }
    for (const FileVersion& file : systemType.filesAndVersions) {
        WriteFile(key, file);
    }
    for (const registry::KeySnapshot& subkey : systemType.keptSubkeys) {
        registry::WriteKeySnapshot(key, subkey.name, subkey);
    }
}

// Empties WatchedDestinationPaths of its values; its subkeys stay.
void DeleteValues(HKEY key) {
    registry::KeySnapshot values;
    registry::ReadKeyValues(key, &values);
    for (const registry::RegValue& value : values.values) {
        RegDeleteValueA(key, value.name.c_str());
    }
}

void SaveWatchedPaths(const WatchedPathList& watchedPaths) {
    {
        RegistryKey upgrade;
        if (upgrade.Open(HKEY_LOCAL_MACHINE, kUpgradeKeyPath, KEY_READ | KEY_WRITE) ==
            ERROR_SUCCESS) {
            if (RegDeleteKeyA(upgrade, kWatchedPathsKeyName) != ERROR_SUCCESS) {
                // Not deletable as a whole (it has subkeys): the rows removed on the page must
                // go all the same.
                RegistryKey watched;
                if (watched.Open(upgrade, kWatchedPathsKeyName, KEY_READ | KEY_WRITE) ==
                    ERROR_SUCCESS) {
                    DeleteValues(watched);
                }
            }
        }
    }
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, kWatchedPathsKeyPath.c_str()) != ERROR_SUCCESS) {
        return;
    }
    for (const WatchedPath& path : watchedPaths) {
        if (path.stored) {
            registry::SetRawValue(key, path.stored->name, path.stored->type, path.stored->data);
        } else {
            key.SetString(path.name.c_str(), path.path.c_str());
        }
    }
}

}  // namespace

common::AreaResult UpgradeRegistry::Load(UpgradeArea& area) {
    common::AreaResult result(kUpgradeArea);
    SystemTypeList& systemTypes = area.systemTypes;
    WatchedPathList& watchedPaths = area.watchedPaths;
    systemTypes.clear();
    watchedPaths.clear();
    registry::RegistryBatch batch;
    {
        RegistryKey version;
        if (common::OpenAreaKey(version, kVersionKeyPath, KEY_ALL_ACCESS, result)) {
            for (std::string& name : registry::ReadSubkeyNames(version)) {
                auto systemType = std::make_unique<SystemTypeDefinition>();
                systemType->name = std::move(name);
                LoadSystemType(version, *systemType);
                systemTypes.push_back(std::move(systemType));
            }
        }
    }
    {
        RegistryKey watched;
        if (watched.Open(HKEY_LOCAL_MACHINE, kWatchedPathsKeyPath.c_str(), KEY_ALL_ACCESS) ==
            ERROR_SUCCESS) {
            result.AddRead(kUpgradeKeyPath);
            registry::KeySnapshot values;
            registry::ReadKeyValues(watched, &values);
            for (registry::RegValue& value : values.values) {
                WatchedPath path;
                path.name = value.name;
                path.path = DataAsText(value.data);
                path.stored = std::move(value);
                watchedPaths.push_back(std::move(path));
            }
        }
    }
    return result;
}

common::AreaResult UpgradeRegistry::Save(const UpgradeArea& area) {
    registry::RegistryBatch batch;
    for (const auto& systemType : area.systemTypes) {
        SaveSystemType(*systemType);
    }
    SaveWatchedPaths(area.watchedPaths);
    return common::AreaResult(kUpgradeArea);
}

}  // namespace upgrade

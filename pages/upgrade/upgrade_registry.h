#pragma once
// Moves the upgrade manager's configuration between the registry and memory: one subkey of the
// Version key per system type (a value per file, its data the version) and the values of
// Manager\Upgrade\WatchedDestinationPaths. The Version key's own values ("InstallationDir")
// are never touched.

#include <array>
#include <string_view>

#include "pages/common/area_contract.h"
#include "pages/upgrade/system_type_definition.h"

namespace upgrade {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kVersionKeyPath = "Software\\VORNA Roboter GmbH\\Version";
inline constexpr const char* kUpgradeKeyPath =
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Upgrade";
inline constexpr const char* kWatchedPathsKeyName = "WatchedDestinationPaths";

inline constexpr std::array<std::string_view, 2> kUpgradeKeys{kUpgradeKeyPath, kVersionKeyPath};
inline constexpr std::array<std::string_view, 1> kUpgradeMessageKeys{kUpgradeKeyPath};
inline constexpr common::AreaDescriptor kUpgradeArea{"Upgrade Manager", kUpgradeKeys,
                                                     kUpgradeMessageKeys};

// What the page loads.
struct UpgradeArea {
    SystemTypeList systemTypes;
    WatchedPathList watchedPaths;
};

class UpgradeRegistry {
  public:
    // Replaces the system types with every subkey of the Version key, in enumeration order,
    // each with its values as files (names and data read whole, the data taken as text), and
    // the watched paths with the values of WatchedDestinationPaths (none when it is missing).
    // The watched paths are read even when the Version key cannot be opened. Fails only then.
    static common::AreaResult Load(UpgradeArea& area);

    // Rewrites each system type's key (deleted with its subtree, then its files and what the
    // load kept below it), then WatchedDestinationPaths with the paths in list order. When
    // that key cannot be deleted (it has subkeys), its values are deleted one by one and its
    // subkeys stay. Never fails.
    static common::AreaResult Save(const UpgradeArea& area);
};

}  // namespace upgrade

#pragma once
// Moves the archive paths and configurations between the registry's Archive\Path and
// Archive\Config keys and memory. No user interface. The Archive key's own values belong to the
// History page and are never touched here.

#include <array>
#include <string_view>

#include "pages/archive/archive_definitions.h"
#include "pages/common/area_contract.h"

namespace archive {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kArchiveKeyPath =
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive";
inline constexpr const char* kPathKeyPath =
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive\\Path";
inline constexpr const char* kConfigKeyPath =
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive\\Config";

// The page rewrites the two subkeys; the start-up message names the key they lie in.
inline constexpr std::array<std::string_view, 2> kArchiveManagerKeys{kPathKeyPath, kConfigKeyPath};
inline constexpr std::array<std::string_view, 1> kArchiveMessageKeys{kArchiveKeyPath};
inline constexpr common::AreaDescriptor kArchiveManagerArea{"Archive Manager", kArchiveManagerKeys,
                                                            kArchiveMessageKeys};

inline constexpr const char* kRegistrySourceKey = "RegistrySource";
inline constexpr const char* kFileSourceKey = "FileSource";
inline constexpr const char* kDefaultData = "Default";  // a path name's default path
inline constexpr const char* kUncheckedData = "No";     // a file source switched off

class ArchiveRegistry {
  public:
    // Replaces everything in `area` with what the Path and Config keys hold, in enumeration
    // order. Reads each of the two keys that can be opened, even when the other cannot; fails
    // when either cannot be opened.
    static common::AreaResult Load(ArchiveArea& area);

    // Deletes the Path key (when the load read it) and writes every path definition anew, then
    // rewrites each configuration's RegistrySource and FileSource keys, leaving the rest of its
    // key as it is, and deletes the keys of the configurations removed since the load. Single
    // failed writes and deletes are passed over: it never fails.
    static common::AreaResult Save(const ArchiveArea& area);
};

}  // namespace archive

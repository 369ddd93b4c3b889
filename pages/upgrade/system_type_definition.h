#pragma once
// The upgrade manager's configuration: the supported system types, each with its files and
// their versions, and the monitored (watched) destination paths.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/key_snapshot.h"

namespace upgrade {

// One file of a system type: the value name is the file name, the data its version.
struct FileVersion {
    std::string file;
    std::string version;
    // The value as stored, while the page has not given the file a new version: written back
    // with its own type and bytes (a version that is no text, or one without its zero).
    std::optional<registry::RegValue> stored;
};

struct SystemTypeDefinition {
    std::string name;  // the name of its subkey of the Version key
    // In registry order; file names are unique without regard to case.
    std::vector<FileVersion> filesAndVersions;
    // The key could be read at load. A key that could not is left alone by the save rather
    // than deleted and rewritten empty.
    bool loaded = true;
    // Subkeys below the system type's key: no part of the layout, written back as they were.
    std::vector<registry::KeySnapshot> keptSubkeys;

    // Index of the first file whose name matches without regard to case, or none.
    std::optional<std::size_t> FindFile(std::string_view fileName) const;

    // Gives a file of that name (without regard to case) the new version, keeping its place and
    // its stored name; otherwise appends the file. Returns the file's index.
    std::size_t AddOrUpdateFile(const std::string& fileName, const std::string& version);

    // Removes the first file whose name and version both match without regard to case. False
    // when there is none.
    bool RemoveFile(std::string_view fileName, std::string_view version);
};

using SystemTypeList = std::vector<std::unique_ptr<SystemTypeDefinition>>;

// The first system type whose name matches without regard to case, or null.
SystemTypeDefinition* FindSystemType(const SystemTypeList& systemTypes, std::string_view name);

// One monitored path: a value of WatchedDestinationPaths.
struct WatchedPath {
    std::string name;  // the value name
    std::string path;  // the data as text
    // The value as loaded (its own type and bytes); none for a path added on the page.
    std::optional<registry::RegValue> stored;
};

using WatchedPathList = std::vector<WatchedPath>;

// Index of the first path whose name matches without regard to case, or none.
std::optional<std::size_t> FindWatchedPath(const WatchedPathList& paths, std::string_view name);

// Value data as the layout reads it: the bytes up to the first zero, whatever the value's type.
std::string DataAsText(const std::vector<uint8_t>& data);

}  // namespace upgrade

#pragma once
// The archive manager's records: named archive paths (one of each name's paths is the default)
// and named archive configurations with the registry keys and the files and folders they
// archive, each file source switched on or off.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "registry/area_copy.h"
#include "registry/key_snapshot.h"

namespace archive {

// Names, paths and sources are read into buffers of 100 characters by the archive manager, so
// what the page stores must fit in 99.
inline constexpr std::size_t kLongestName = 99;

struct ArchivePathDefinition {
    std::string name;                // also the name of its registry key
    std::vector<std::string> paths;  // in registry order
    std::int32_t defaultIndex = -1;  // index in `paths` of the default; never below 0 after a load

    // Subkeys of the name's key: not part of the layout, written back as they were.
    registry::KeySnapshot kept;

    // Index of the first path equal to `path` without regard to case, or -1.
    int FindPath(std::string_view path) const;
    // Appends `path` unless an equal one is there; a name's first path becomes its default.
    // Returns the index of the new or existing path.
    int AddPath(std::string path);
    // Removes the path at `index`. The default stays on the same path; when the default itself
    // goes, the first remaining path becomes the default. False for an index out of range.
    bool RemovePath(int index);
};

struct ArchiveConfigurationDefinition {
    std::string name;  // also the name of its registry key
    std::vector<std::string> fileSources;
    std::vector<std::string> registrySources;
    std::vector<std::uint8_t> fileSourceEnabled;  // 1 = checked, one per file source

    // True when the configuration's key exists in the registry (it was read by the load, or it
    // takes over the key of a removed one), false for one new on the page.
    bool loaded = false;
    // Subkeys below RegistrySource and FileSource: not part of the layout, written back.
    registry::KeySnapshot keptRegistrySourceKeys;
    registry::KeySnapshot keptFileSourceKeys;

    // Index of the first source equal to `source` without regard to case, or -1.
    int FindRegistrySource(std::string_view source) const;
    int FindFileSource(std::string_view source) const;
    // Appends the source unless an equal one is there; returns the index of the new or
    // existing one.
    int AddRegistrySource(std::string source);
    // Adds a picked file source: an equal source already there is taken as it is; otherwise the
    // source in its stored form (FileSourceForm) is looked for and, when absent, appended. The
    // new or existing source is checked; returns its index.
    int AddFileSource(std::string source);
    // Remove the first source equal to `source`; false when there is none.
    bool RemoveRegistrySource(std::string_view source);
    bool RemoveFileSource(std::string_view source);
};

using PathDefinitionList = std::vector<std::unique_ptr<ArchivePathDefinition>>;
using ConfigurationList = std::vector<std::unique_ptr<ArchiveConfigurationDefinition>>;

// First record of that name (without regard to case), or null; null for an empty name.
ArchivePathDefinition* FindPathDefinition(const PathDefinitionList& list, std::string_view name);
ArchiveConfigurationDefinition* FindConfiguration(const ConfigurationList& list,
                                                  std::string_view name);

// The form a picked file source is stored in: a path without a dot anywhere is a folder and
// ends with a backslash (one is added unless it is there, so a drive root c:\ stays c:\); a path
// with a dot is a file and stays as it is.
std::string FileSourceForm(std::string path);

// Whether a typed name can become a registry key name: neither empty nor holding a backslash.
bool IsValidKeyName(std::string_view name);

// Everything the Archive Manager page edits and what its load keeps for the save.
struct ArchiveArea {
    ConfigurationList configurations;
    PathDefinitionList pathDefinitions;

    // Values directly in the Path key (the save deletes and rewrites that key).
    registry::KeySnapshot pathKeyValues;
    // Whether the Path key was read; only then does the save delete it before writing, so a
    // key the load could not read is never erased.
    bool pathAreaRead = false;
    // Names of loaded configurations removed on the page since the load; the save deletes
    // their keys.
    std::vector<std::string> removedConfigurations;
    // The Path and Config keys as the load read them, for the journal before the save.
    registry::AreaCopy asRead;

    // Appends a new, empty configuration. A loaded configuration of that name removed before
    // is no longer deleted by the save: the new one takes over its key.
    ArchiveConfigurationDefinition& AddConfiguration(std::string name);
    // Destroys the record (one of `configurations`), remembering its name for the save when it
    // was loaded.
    void RemoveConfiguration(const ArchiveConfigurationDefinition* configuration);
    ArchivePathDefinition& AddPathDefinition(std::string name);
    void RemovePathDefinition(const ArchivePathDefinition* definition);
};

}  // namespace archive

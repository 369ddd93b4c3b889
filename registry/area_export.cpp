#include "registry/area_export.h"

#include <algorithm>
#include <cstddef>

#include "registry/key_snapshot.h"
#include "registry/registry_key.h"

namespace registry {
namespace {

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Whether the key `inner` is `outer` or lies below it.
bool Covers(const std::vector<std::string>& outer, const std::vector<std::string>& inner) {
    if (outer.size() > inner.size())
        return false;
    for (std::size_t i = 0; i < outer.size(); ++i)
        if (!NamesEqual(outer[i], inner[i]))
            return false;
    return true;
}

std::string Join(const std::vector<std::string>& parts, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i)
        path += (i == 0 ? "" : "\\") + parts[i];
    return path;
}

// The subkey of `parentPath` (below HKEY_LOCAL_MACHINE; "" for the root) named `name` in other
// capitals, spelled as stored: 0 and the name, ERROR_FILE_NOT_FOUND when there is none, or the
// error that kept the parent from being read.
LONG FindStoredName(const std::string& parentPath, const std::string& name, std::string* stored) {
    RegistryKey parent;
    HKEY parentKey = HKEY_LOCAL_MACHINE;
    if (!parentPath.empty()) {
        if (const LONG r = parent.Open(HKEY_LOCAL_MACHINE, parentPath.c_str(), KEY_READ))
            return r;
        parentKey = parent;
    }
    LONG error = ERROR_SUCCESS;
    const std::vector<std::string> names = ReadSubkeyNames(parentKey, &error);
    if (error != ERROR_SUCCESS)
        return error;
    for (const std::string& candidate : names) {
        if (NamesEqual(candidate, name)) {
            *stored = candidate;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

void WriteKey(const KeySnapshot& key, const std::string& path, RegTextWriter* out) {
    out->BeginKey(path);
    for (const RegValue& value : key.values)
        out->Value(value.name, value.type, value.data.data(), value.data.size());
    out->EndKey();
    for (const KeySnapshot& subkey : key.subkeys)
        WriteKey(subkey, path + '\\' + subkey.name, out);
}

// One area: nothing when its parent is missing (unless asked for its deletion line), else its
// deletion line and, when it exists, everything in it.
LONG WriteArea(const std::vector<std::string>& parts, AreaExportMissing missing,
               RegTextWriter* out) {
    std::vector<std::string> stored;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string name;
        const LONG r = FindStoredName(Join(stored, stored.size()), parts[i], &name);
        if (r == ERROR_FILE_NOT_FOUND && i + 1 < parts.size()) {
            // No parent: the area is not there.
            if (missing == AreaExportMissing::Delete) {
                stored.insert(stored.end(), parts.begin() + i, parts.end());
                out->DeleteKey(std::string(RegRootName(RegRoot::LocalMachine)) + '\\' +
                               Join(stored, stored.size()));
            }
            return ERROR_SUCCESS;
        }
        if (r == ERROR_FILE_NOT_FOUND) {
            stored.push_back(parts[i]);
            out->DeleteKey(std::string(RegRootName(RegRoot::LocalMachine)) + '\\' +
                           Join(stored, stored.size()));
            return ERROR_SUCCESS;
        }
        if (r != ERROR_SUCCESS)
            return r;
        stored.push_back(name);
    }
    const std::string path = Join(stored, stored.size());
    const std::string fullPath = std::string(RegRootName(RegRoot::LocalMachine)) + '\\' + path;
    RegistryKey area;
    if (const LONG r = area.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ))
        return r;
    KeySnapshot snapshot;
    if (const LONG r = ReadKeySnapshot(area, &snapshot))
        return r;
    out->DeleteKey(fullPath);
    WriteKey(snapshot, fullPath, out);
    return ERROR_SUCCESS;
}

}  // namespace

LONG ExportAreasForImport(const std::vector<std::string_view>& areaPaths,
                          const RegFileFormat& format, std::string* bytes,
                          AreaExportMissing missing) {
    std::vector<std::vector<std::string>> areas;
    for (std::string_view path : areaPaths)
        areas.push_back(SplitPath(path));
    RegTextWriter writer(format);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].empty())
            continue;
        bool covered = false;
        for (std::size_t j = 0; j < areas.size() && !covered; ++j)
            covered = j != i && !areas[j].empty() && Covers(areas[j], areas[i]) &&
                      (areas[j].size() < areas[i].size() || j < i);
        if (covered)
            continue;
        if (const LONG r = WriteArea(areas[i], missing, &writer))
            return r;
    }
    *bytes = writer.Finish();
    return ERROR_SUCCESS;
}

}  // namespace registry

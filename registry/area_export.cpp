#include "registry/area_export.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "registry/key_snapshot.h"
#include "registry/reg_import.h"
#include "registry/registry_key.h"

namespace registry {
namespace {

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
LONG WriteArea(const std::vector<std::string>& parts, AreaExportMissing missing, RegTextWriter* out,
               std::vector<KnownArea>* read, const AreaCopy* asRead) {
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
    KeySnapshot snapshot;
    if (const KeySnapshot* known = asRead ? asRead->Contents(path) : nullptr) {
        snapshot = *known;
    } else {
        RegistryKey area;
        if (const LONG r = area.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ))
            return r;
        if (const LONG r = ReadKeySnapshotSideBySide(area, &snapshot))
            return r;
    }
    out->DeleteKey(fullPath);
    WriteKey(snapshot, fullPath, out);
    if (read)
        read->push_back(KnownArea{path, std::move(snapshot)});
    return ERROR_SUCCESS;
}

// A .reg text as its lines, for CompleteValueBlocks to write it again with lines added.
class BlockRecorder : public RegTextSink {
  public:
    struct Line {
        bool remove = false;  // "[-key]", or "name"=-
        std::string name;     // a value's name
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };
    struct Block {
        RegRoot root = RegRoot::LocalMachine;
        std::string path;      // below the root
        bool remove = false;   // "[-key]"
        bool covered = false;  // a deletion line above it deletes this key or a parent
        std::vector<Line> lines;
        std::vector<std::string> added;  // "name"=- lines to write after its own
    };

    void Key(RegRoot root, const std::vector<std::string_view>& path, bool remove, int) override {
        Block block{root, {}, remove, false, {}, {}};
        for (std::string_view name : path)
            block.path.append(block.path.empty() ? "" : "\\").append(name);
        // Against the deletion lines only: a journal of a whole area has one or two of them
        // and thousands of keys.
        const std::vector<std::string> parts = SplitKeyPath(block.path);
        for (const auto& [deletedRoot, deletedParts] : deleted_)
            block.covered =
                block.covered || (deletedRoot == root && PathCovers(deletedParts, parts));
        if (remove)
            deleted_.emplace_back(root, parts);
        blocks.push_back(std::move(block));
    }
    void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
               int) override {
        if (!blocks.empty())
            blocks.back().lines.push_back(
                Line{false, std::string(name), type, std::vector<uint8_t>(data, data + size)});
    }
    void RemoveValue(std::string_view name, int) override {
        if (!blocks.empty())
            blocks.back().lines.push_back(Line{true, std::string(name), 0, {}});
    }

    // Whether the text names the value `name` anywhere in a block of the key of `block`.
    bool Names(const Block& block, const std::string& name) const {
        for (const Block& other : blocks)
            if (!other.remove && other.root == block.root && NamesEqual(other.path, block.path))
                for (const Line& line : other.lines)
                    if (NamesEqual(line.name, name))
                        return true;
        return false;
    }

    std::vector<Block> blocks;

  private:
    std::vector<std::pair<RegRoot, std::vector<std::string>>> deleted_;
};

}  // namespace

LONG ExportKeyValuesForImport(const std::vector<std::string_view>& keyPaths,
                              const RegFileFormat& format, std::string* bytes) {
    RegTextWriter writer(format);
    for (std::string_view path : keyPaths) {
        RegistryKey key;
        const LONG opened = key.Open(HKEY_LOCAL_MACHINE, std::string(path).c_str(), KEY_READ);
        if (opened == ERROR_FILE_NOT_FOUND)
            continue;
        if (opened != ERROR_SUCCESS)
            return opened;
        KeySnapshot values;
        if (const LONG r = ReadKeyValues(key, &values))
            return r;
        writer.BeginKey(std::string(RegRootName(RegRoot::LocalMachine)) + '\\' + std::string(path));
        for (const RegValue& value : values.values)
            writer.Value(value.name, value.type, value.data.data(), value.data.size());
        writer.EndKey();
    }
    *bytes = writer.Finish();
    return ERROR_SUCCESS;
}

LONG CompleteValueBlocks(std::string* bytes, const std::string& fileName) {
    RegFileFormat format;
    BlockRecorder text;
    if (!ParseRegText(*bytes, fileName, &format, &text).empty())
        return ERROR_SUCCESS;  // not a .reg text: its import changes nothing either
    bool added = false;
    for (std::size_t i = 0; i < text.blocks.size(); ++i) {
        BlockRecorder::Block& block = text.blocks[i];
        bool first = !block.remove && !block.covered;
        for (std::size_t j = 0; j < i && first; ++j)
            first = text.blocks[j].remove || text.blocks[j].root != block.root ||
                    !NamesEqual(text.blocks[j].path, block.path);
        if (!first)
            continue;
        RegistryKey key;
        const LONG opened = key.Open(RootKey(block.root), block.path.c_str(), KEY_READ);
        if (opened == ERROR_FILE_NOT_FOUND)
            continue;
        if (opened != ERROR_SUCCESS)
            return opened;
        KeySnapshot now;
        if (const LONG r = ReadKeyValues(key, &now))
            return r;
        for (const RegValue& value : now.values)
            if (!text.Names(block, value.name)) {
                block.added.push_back(value.name);
                added = true;
            }
    }
    if (!added)
        return ERROR_SUCCESS;
    RegTextWriter writer(format, bytes->size());
    for (const BlockRecorder::Block& block : text.blocks) {
        const std::string path = std::string(RegRootName(block.root)) + '\\' + block.path;
        if (block.remove) {
            writer.DeleteKey(path);
            continue;
        }
        writer.BeginKey(path);
        for (const BlockRecorder::Line& line : block.lines) {
            if (line.remove)
                writer.DeleteValue(line.name);
            else
                writer.Value(line.name, line.type, line.data.data(), line.data.size());
        }
        for (const std::string& name : block.added)
            writer.DeleteValue(name);
        writer.EndKey();
    }
    *bytes = writer.Finish();
    return ERROR_SUCCESS;
}

LONG ExportAreasForImport(const std::vector<std::string_view>& areaPaths,
                          const RegFileFormat& format, std::string* bytes,
                          AreaExportMissing missing, std::vector<KnownArea>* read,
                          const AreaCopy* asRead) {
    std::vector<std::vector<std::string>> areas;
    for (std::string_view path : areaPaths)
        areas.push_back(SplitKeyPath(path));
    RegTextWriter writer(format);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].empty())
            continue;
        bool covered = false;
        for (std::size_t j = 0; j < areas.size() && !covered; ++j)
            covered = j != i && !areas[j].empty() && PathCovers(areas[j], areas[i]) &&
                      (areas[j].size() < areas[i].size() || j < i);
        if (covered)
            continue;
        if (const LONG r = WriteArea(areas[i], missing, &writer, read, asRead))
            return r;
    }
    *bytes = writer.Finish();
    return ERROR_SUCCESS;
}

}  // namespace registry

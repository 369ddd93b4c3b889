#include "pages/display/display_registry.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pages/common/decimal_text.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"
#include "registry/win_registry.h"

namespace display {
namespace {

// The buffer the layout reads level names and texts into; longer entries are read whole by
// asking again with a bigger buffer.

std::string LevelPath(const std::string& levelName) {
    return std::string(kDisplayKeyPath) + "\\" + levelName;
}

std::string ColumnPath(const std::string& levelName, std::int32_t position) {
    return LevelPath(levelName) + "\\List\\Columns\\" + std::to_string(position);
}

std::string SortPath(const std::string& levelName) {
    return LevelPath(levelName) + "\\List\\Sort";
}

std::string VolumesPath(const std::string& levelName) {
    return LevelPath(levelName) + "\\Tree\\Volumes";
}

void LoadColumns(LevelDefinition& level) {
    for (std::int32_t n = 0;; ++n) {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, ColumnPath(level.name, n).c_str(), KEY_ALL_ACCESS) !=
            ERROR_SUCCESS) {
            return;
        }
        auto column = std::make_unique<ColumnDefinition>();
        column->position = n;
        if (registry::QueryWholeString(key, "", &column->name) != ERROR_SUCCESS) {
            column->name.clear();
            column->keepStoredName = true;
            column->storedName = registry::QueryStoredValue(key, "");
        }
        column->width = registry::QueryNumber(key, "width").value_or(kDefaultColumnWidth);
        column->sortable = IsSortableColumn(column->name);
        level.columns.push_back(std::move(column));
    }
}

void LoadSort(LevelDefinition& level) {
    level.descending = false;
    level.sortColumn = 0;
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, SortPath(level.name).c_str(), KEY_ALL_ACCESS) !=
        ERROR_SUCCESS) {
        return;
    }
    std::string text;
    if (registry::QueryWholeString(key, "", &text) == ERROR_SUCCESS) {
        level.sortColumn = common::AtoiRule32(text);
    }
    level.descending = registry::QueryNumber(key, "descending").value_or(0) != 0;
}

void LoadVolumes(LevelDefinition& level) {
    level.volumes = 0;
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, VolumesPath(level.name).c_str(), KEY_ALL_ACCESS) !=
        ERROR_SUCCESS) {
        return;
    }
    for (std::size_t bit = 0; bit < kVolumeTable.size(); ++bit) {
        const std::string valueName(kVolumeTable[bit]);
        if (registry::QueryNumber(key, valueName.c_str()).value_or(0) != 0) {
            level.volumes |= 1u << bit;
        }
    }
}

// Drops the subkey `name` of `parent` when nothing is left in it: the layout's own keys are
// written anew anyway, and a level without columns has no "Columns" key.
void DropIfEmpty(registry::KeySnapshot& parent, const char* name) {
    if (const registry::KeySnapshot* key = parent.FindSubkey(name); key && key->Empty()) {
        parent.RemoveSubkey(name);
    }
}

// Splits the raw copy of the level key taken at load into what the layout owns (dropped: the
// save writes it from the model), what belongs to a loaded column (handed to the column, so it
// moves with it) and the rest (left in `level.kept`).
void SeparateKept(LevelDefinition& level) {
    registry::KeySnapshot& kept = level.kept;
    if (registry::KeySnapshot* list = kept.FindSubkey("List")) {
        if (registry::KeySnapshot* columns = list->FindSubkey("Columns")) {
            for (const auto& column : level.columns) {
                if (auto key = columns->TakeSubkey(std::to_string(column->position))) {
                    key->RemoveValue("");
                    key->RemoveValue("width");
                    column->kept = std::move(*key);
                }
            }
            DropIfEmpty(*list, "Columns");
        }
        if (registry::KeySnapshot* sort = list->FindSubkey("Sort")) {
            sort->RemoveValue("");
            sort->RemoveValue("descending");
            DropIfEmpty(*list, "Sort");
        }
        DropIfEmpty(kept, "List");
    }
    if (registry::KeySnapshot* tree = kept.FindSubkey("Tree")) {
        if (registry::KeySnapshot* volumes = tree->FindSubkey("Volumes")) {
            for (std::string_view volume : kVolumeTable) {
                volumes->RemoveValue(volume);
            }
            DropIfEmpty(*tree, "Volumes");
        }
        DropIfEmpty(kept, "Tree");
    }
}

// The number a column key name stands for when the layout would write that very name
// ("0", "17"; not "07" or "x"); none otherwise.
std::optional<std::int32_t> ColumnNumber(const std::string& name) {
    if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == '0')) {
        return std::nullopt;
    }
    std::int32_t number = 0;
    for (char c : name) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

// The level's kept keys as the save writes them. A kept column key (one the load did not read,
// after a gap) whose number a model column now has would be overwritten: it moves to the
// first number after the model's columns that no other column key uses.
registry::KeySnapshot KeptForSave(const LevelDefinition& level) {
    registry::KeySnapshot out = level.kept;
    registry::KeySnapshot* list = out.FindSubkey("List");
    registry::KeySnapshot* columns = list ? list->FindSubkey("Columns") : nullptr;
    if (columns == nullptr || level.columns.empty()) {
        return out;
    }
    std::set<std::int32_t> used;
    std::int32_t next = 0;
    for (const auto& column : level.columns) {
        used.insert(column->position);
        next = std::max(next, column->position + 1);
    }
    std::vector<std::pair<std::int32_t, registry::KeySnapshot*>> clashing;
    for (registry::KeySnapshot& key : columns->subkeys) {
        if (const auto number = ColumnNumber(key.name)) {
            if (used.count(*number) != 0) {
                clashing.emplace_back(*number, &key);
            }
        }
    }
    for (registry::KeySnapshot& key : columns->subkeys) {
        if (const auto number = ColumnNumber(key.name); number && used.count(*number) == 0) {
            used.insert(*number);
        }
    }
    std::sort(clashing.begin(), clashing.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [number, key] : clashing) {
        while (used.count(next) != 0) {
            ++next;
        }
        key->name = std::to_string(next);
        used.insert(next);
    }
    return out;
}

void SaveColumn(const std::string& levelName, const ColumnDefinition& column) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, ColumnPath(levelName, column.position).c_str()) !=
        ERROR_SUCCESS) {
        return;
    }
    if (!column.keepStoredName) {
        key.SetString("", column.name.c_str());
    } else if (column.storedName) {
        const registry::RegValue& stored = *column.storedName;
        registry::SetRawValue(key, "", stored.type, stored.data);
    }
    key.SetNumber("Width", column.width);
    if (!column.kept.Empty()) {
        registry::WriteKeySnapshot(key, "", column.kept);
    }
}

void SaveSort(const LevelDefinition& level) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, SortPath(level.name).c_str()) != ERROR_SUCCESS) {
        return;
    }
    key.SetString("", std::to_string(level.sortColumn).c_str());
    key.SetNumber("Descending", level.descending ? 1 : 0);
}

void SaveVolumes(const LevelDefinition& level) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, VolumesPath(level.name).c_str()) != ERROR_SUCCESS) {
        return;
    }
    for (std::size_t bit = 0; bit < kVolumeTable.size(); ++bit) {
        const std::string valueName(kVolumeTable[bit]);
        key.SetNumber(valueName.c_str(), (level.volumes >> bit) & 1u);
    }
}

}  // namespace

common::AreaResult DisplayRegistry::Load(DisplayArea& area) {
    common::AreaResult loadResult(kDisplayArea);
    LevelList& levels = area.levels;
    registry::KeySnapshot& displayValues = area.displayValues;
    levels.clear();
    displayValues = {};
    registry::RegistryBatch batch;
    RegistryKey display;
    if (!common::OpenAreaKey(display, kDisplayKeyPath, KEY_ALL_ACCESS, loadResult)) {
        return loadResult;
    }
    registry::ReadKeyValues(display, &displayValues);
    for (std::string& name : registry::ReadSubkeyNames(display)) {
        auto level = std::make_unique<LevelDefinition>();
        level->name = std::move(name);
        {
            // One raw pass over the level's keys, so the save can give back what the layout
            // does not read.
            RegistryKey levelKey;
            if (levelKey.Open(display, level->name.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS) {
                registry::ReadKeySnapshot(levelKey, &level->kept);
            }
        }
        LoadColumns(*level);
        LoadSort(*level);
        LoadVolumes(*level);
        SeparateKept(*level);
        levels.push_back(std::move(level));
    }
    display.Close();
    return loadResult;
}

common::AreaResult DisplayRegistry::Save(const DisplayArea& area) {
    common::AreaResult saveResult(kDisplayArea);
    const LevelList& levels = area.levels;
    const registry::KeySnapshot& displayValues = area.displayValues;
    registry::RegistryBatch batch;
    {
        RegistryKey display;
        if (display.Open(HKEY_LOCAL_MACHINE, kDisplayKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            const LONG result = display.DeleteKeyTree("");
            if (result != ERROR_SUCCESS) {
                saveResult.AddFailure(kDisplayKeyPath, result);
            }
            display.Close();
        }
    }
    for (const auto& level : levels) {
        for (const ColumnDefinition* column : level->ColumnsInOrder()) {
            SaveColumn(level->name, *column);
        }
        SaveSort(*level);
        SaveVolumes(*level);
        if (!level->kept.Empty()) {
            registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, LevelPath(level->name),
                                       KeptForSave(*level));
        }
    }
    if (!displayValues.values.empty()) {
        registry::KeySnapshot values;
        values.values = displayValues.values;
        registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, kDisplayKeyPath, values);
    }
    return saveResult;
}

}  // namespace display

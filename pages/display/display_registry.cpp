#include "pages/display/display_registry.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pages/display/decimal_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/win_registry.h"

namespace display {
namespace {

// The buffer the layout reads level names and texts into; longer entries are read whole by
// asking again with a bigger buffer.
constexpr DWORD kNameBufferSize = 100;
// Far beyond anything a registry holds; only guards the retry loop.
constexpr DWORD kLongestName = 1u << 20;
// An enumeration gives up after this many unreadable entries in a row.
constexpr int kMaxEnumFailuresInRow = 16;

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

// The name of the subkey at `index`, however long it is.
LONG EnumSubkeyName(HKEY key, DWORD index, std::string& name) {
    std::vector<char> buffer(kNameBufferSize);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        FILETIME written{};
        const LONG result =
            RegEnumKeyExA(key, index, buffer.data(), &size, nullptr, nullptr, nullptr, &written);
        if (result == ERROR_MORE_DATA && buffer.size() < kLongestName) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (result == ERROR_SUCCESS) {
            if (size > buffer.size()) {
                size = static_cast<DWORD>(buffer.size());
            }
            name.assign(buffer.data(), size);
            // A store that counts the terminating zero must not add it to the name.
            while (!name.empty() && name.back() == '\0') {
                name.pop_back();
            }
        }
        return result;
    }
}

// The checked string query, retried with a buffer of the value's own size when it does not fit
// the usual 100 bytes. Nonzero when the value is missing or not a properly terminated string.
LONG QueryWholeString(RegistryKey& key, const char* valueName, std::string& text) {
    text.clear();
    std::vector<char> buffer(kNameBufferSize, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD count = static_cast<DWORD>(buffer.size());
        const LONG result = key.QueryString(valueName, buffer.data(), &count);
        if (result == ERROR_SUCCESS) {
            text.assign(buffer.data());
            return result;
        }
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            size <= buffer.size() || size > kLongestName) {
            return result;
        }
        buffer.assign(size + 1, '\0');
    }
    return ERROR_MORE_DATA;
}

// The value's type and bytes as stored; none when there is no such value.
std::optional<StoredValue> QueryStoredValue(HKEY key, const char* valueName) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        StoredValue value;
        value.type = type;
        value.data.assign(size, 0);
        DWORD got = size;
        const LONG result = RegQueryValueExA(
            key, valueName, nullptr, &type, value.data.empty() ? nullptr : value.data.data(), &got);
        if (result == ERROR_SUCCESS) {
            value.type = type;
            value.data.resize(got < size ? got : size);
            return value;
        }
        if (result != ERROR_MORE_DATA) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// A 4-byte number value, whatever its type; none when it is missing or larger than 4 bytes.
std::optional<std::uint32_t> QueryNumber(HKEY key, const char* valueName) {
    DWORD type = REG_NONE;
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, valueName, nullptr, &type, data, &size) != ERROR_SUCCESS ||
        size == 0 || size > sizeof data) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
           static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
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
        if (QueryWholeString(key, "", column->name) != ERROR_SUCCESS) {
            column->name.clear();
            column->keepStoredName = true;
            column->storedName = QueryStoredValue(key, "");
        }
        column->width = QueryNumber(key, "width").value_or(kDefaultColumnWidth);
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
    if (QueryWholeString(key, "", text) == ERROR_SUCCESS) {
        level.sortColumn = AtoiRule32(text);
    }
    level.descending = QueryNumber(key, "descending").value_or(0) != 0;
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
        if (QueryNumber(key, valueName.c_str()).value_or(0) != 0) {
            level.volumes |= 1u << bit;
        }
    }
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
        const StoredValue& stored = *column.storedName;
        RegSetValueExA(key, "", 0, stored.type, stored.data.empty() ? nullptr : stored.data.data(),
                       static_cast<DWORD>(stored.data.size()));
    }
    key.SetNumber("Width", column.width);
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

bool DisplayRegistry::Load(LevelList& levels) {
    levels.clear();
    registry::RegistryBatch batch;
    RegistryKey display;
    if (display.Open(HKEY_LOCAL_MACHINE, kDisplayKeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return false;
    }
    int failuresInRow = 0;
    for (DWORD index = 0;; ++index) {
        std::string name;
        const LONG result = EnumSubkeyName(display, index, name);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            // An entry that cannot be read is passed over; the next one may be readable.
            if (++failuresInRow >= kMaxEnumFailuresInRow) {
                break;
            }
            continue;
        }
        failuresInRow = 0;
        auto level = std::make_unique<LevelDefinition>();
        level->name = std::move(name);
        LoadColumns(*level);
        LoadSort(*level);
        LoadVolumes(*level);
        levels.push_back(std::move(level));
    }
    display.Close();
    return true;
}

DisplaySaveResult DisplayRegistry::Save(const LevelList& levels) {
    DisplaySaveResult saveResult;
    registry::RegistryBatch batch;
    {
        RegistryKey display;
        if (display.Open(HKEY_LOCAL_MACHINE, kDisplayKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            const LONG result = display.DeleteKeyTree("");
            if (result != ERROR_SUCCESS) {
                saveResult.deleteFailed = true;
                saveResult.deleteError = result;
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
    }
    return saveResult;
}

}  // namespace display

#include "pages/filters/filter_registry.h"

#include <string>
#include <utility>
#include <vector>

#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"
#include "registry/win_registry.h"

namespace filters {
namespace {

// What the save writes for every entry of a level key.
constexpr DWORD kEntryData = 1;

std::string SubkeyPath(const char* areaPath, const std::string& name) {
    return std::string(areaPath) + "\\" + name;
}

void LoadText(HKEY key, const char* name, std::string& field, registry::KeySnapshot& kept) {
    field.clear();
    if (registry::QueryWholeString(key, name, &field) != ERROR_SUCCESS) {
        field.clear();
    }
    registry::TakeOverText(kept, name, field);
}

void LoadNumber(HKEY key, const char* name, std::uint32_t& field, registry::KeySnapshot& kept) {
    field = registry::QueryNumber(key, name).value_or(0);
    registry::TakeOverNumber(kept, name, field);
}

std::unique_ptr<FilterDefinition> LoadFilter(HKEY filterArea, std::string name) {
    auto filter = std::make_unique<FilterDefinition>();
    filter->name = std::move(name);
    RegistryKey key;
    if (key.Open(filterArea, filter->name.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        // Nothing could be read: empty texts and numbers 0, as the reads would give.
        filter->mask.clear();
        return filter;
    }
    registry::ReadKeySnapshot(key, &filter->kept);
    LoadText(key, kCommentValue, filter->comment, filter->kept);
    LoadText(key, kMaskValue, filter->mask, filter->kept);
    LoadNumber(key, kShowAttribValue, filter->showAttrib, filter->kept);
    LoadNumber(key, kShowModuleExplodeValue, filter->showModuleExplode, filter->kept);
    LoadNumber(key, kTypeValue, filter->type, filter->kept);
    return filter;
}

std::unique_ptr<FilterListDefinition> LoadFilterList(HKEY filterListArea, std::string level) {
    auto list = std::make_unique<FilterListDefinition>();
    list->level = std::move(level);
    RegistryKey key;
    if (key.Open(filterListArea, list->level.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return list;
    }
    registry::KeySnapshot stored;
    registry::ReadKeySnapshot(key, &stored);
    // Every named value is an available filter, whatever its type and data.
    for (registry::RegValue& value : stored.values) {
        if (value.name.empty()) {
            continue;
        }
        list->filters.push_back(value.name);
        if (!registry::HoldsNumber(value, kEntryData)) {
            list->kept.values.push_back(std::move(value));
        }
    }
    list->kept.subkeys = std::move(stored.subkeys);

    if (registry::QueryWholeString(key, "", &list->defaultFilter) != ERROR_SUCCESS) {
        list->defaultFilter.clear();
    }
    if (auto storedDefault = registry::QueryStoredValue(key, "");
        storedDefault && !registry::HoldsText(*storedDefault, list->defaultFilter)) {
        storedDefault->name.clear();
        list->storedDefault = std::move(storedDefault);
    }
    return list;
}

void SaveFilter(const FilterDefinition& filter) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, SubkeyPath(kFilterKeyPath, filter.name).c_str()) !=
        ERROR_SUCCESS) {
        return;
    }
    key.SetString(kMaskValue, filter.mask.c_str());
    key.SetString(kCommentValue, filter.comment.c_str());
    key.SetNumber(kTypeValue, filter.type);
    key.SetNumber(kShowAttribValue, filter.showAttrib);
    key.SetNumber(kShowModuleExplodeValue, filter.showModuleExplode);
    if (!filter.kept.Empty()) {
        registry::WriteKeySnapshot(key, "", filter.kept);
    }
}

void SaveFilterList(const FilterListDefinition& list) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, SubkeyPath(kFilterListKeyPath, list.level).c_str()) !=
        ERROR_SUCCESS) {
        return;
    }
    for (const std::string& name : list.filters) {
        const registry::RegValue* stored = list.kept.FindValue(name);
        if (stored != nullptr) {
            registry::SetRawValue(key, name, stored->type, stored->data);
        } else {
            key.SetNumber(name.c_str(), kEntryData);
        }
    }
    if (list.storedDefault) {
        registry::SetRawValue(key, "", list.storedDefault->type, list.storedDefault->data);
    } else {
        key.SetString("", list.defaultFilter.c_str());
    }
    for (const registry::KeySnapshot& subkey : list.kept.subkeys) {
        registry::WriteKeySnapshot(key, subkey.name, subkey);
    }
}

}  // namespace

common::AreaResult FilterRegistry::Load(FiltersArea& area) {
    area = {};
    common::AreaResult result(kFiltersArea);
    registry::RegistryBatch batch;
    {
        RegistryKey key;
        if (common::OpenAreaKey(key, kFilterKeyPath, KEY_ALL_ACCESS, result)) {
            registry::ReadKeyValues(key, &area.filterKey);
            for (std::string& name : registry::ReadSubkeyNames(key)) {
                area.filters.push_back(LoadFilter(key, std::move(name)));
            }
        }
    }
    {
        RegistryKey key;
        if (common::OpenAreaKey(key, kFilterListKeyPath, KEY_ALL_ACCESS, result)) {
            registry::ReadKeyValues(key, &area.filterListKey);
            for (std::string& name : registry::ReadSubkeyNames(key)) {
                area.levels.push_back(LoadFilterList(key, std::move(name)));
            }
        }
    }
    return result;
}

common::AreaResult FilterRegistry::Save(const FiltersArea& area) {
    common::AreaResult saveResult(kFiltersArea);
    registry::RegistryBatch batch;
    if (const LONG result = registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, kFilterKeyPath);
        result != ERROR_SUCCESS) {
        saveResult.AddFailure(kFilterKeyPath, result);
        return saveResult;
    }
    // Both keys are deleted before either is written, so that each delete finds its copy in the
    // journal's read (nothing else has changed yet) instead of reading the key again. A refused
    // second delete leaves that key as it was, and the first is written all the same.
    const LONG listDeleted =
        registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, kFilterListKeyPath);
    for (const auto& filter : area.filters) {
        SaveFilter(*filter);
    }
    registry::WriteKeyValues(HKEY_LOCAL_MACHINE, kFilterKeyPath, area.filterKey);

    if (listDeleted != ERROR_SUCCESS) {
        saveResult.AddFailure(kFilterListKeyPath, listDeleted);
        return saveResult;
    }
    for (const auto& list : area.levels) {
        SaveFilterList(*list);
    }
    registry::WriteKeyValues(HKEY_LOCAL_MACHINE, kFilterListKeyPath, area.filterListKey);
    return saveResult;
}

}  // namespace filters

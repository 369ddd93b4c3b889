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

// The saves build each key as it is to be, then write only what differs from what is stored.
void SaveFilter(const FilterDefinition& filter, registry::KeySnapshot& root) {
    registry::KeySnapshot& key = registry::AddKeyPath(root, filter.name);
    key.values.push_back(registry::TextValue(kMaskValue, filter.mask));
    key.values.push_back(registry::TextValue(kCommentValue, filter.comment));
    key.values.push_back(registry::NumberValue(kTypeValue, filter.type));
    key.values.push_back(registry::NumberValue(kShowAttribValue, filter.showAttrib));
    key.values.push_back(registry::NumberValue(kShowModuleExplodeValue, filter.showModuleExplode));
    key.values.insert(key.values.end(), filter.kept.values.begin(), filter.kept.values.end());
    key.subkeys.insert(key.subkeys.end(), filter.kept.subkeys.begin(), filter.kept.subkeys.end());
}

void SaveFilterList(const FilterListDefinition& list, registry::KeySnapshot& root) {
    registry::KeySnapshot& key = registry::AddKeyPath(root, list.level);
    for (const std::string& name : list.filters) {
        if (const registry::RegValue* stored = list.kept.FindValue(name)) {
            key.values.push_back(registry::RegValue{name, stored->type, stored->data});
        } else {
            key.values.push_back(registry::NumberValue(name, kEntryData));
        }
    }
    if (list.storedDefault) {
        key.values.push_back(
            registry::RegValue{"", list.storedDefault->type, list.storedDefault->data});
    } else {
        key.values.push_back(registry::TextValue("", list.defaultFilter));
    }
    key.subkeys.insert(key.subkeys.end(), list.kept.subkeys.begin(), list.kept.subkeys.end());
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
    registry::KeySnapshot filters;
    for (const auto& filter : area.filters) {
        SaveFilter(*filter, filters);
    }
    filters.values.insert(filters.values.end(), area.filterKey.values.begin(),
                          area.filterKey.values.end());
    // A refused delete leaves the Filter key as it was, and FilterList is not written.
    if (!common::ReplaceAreaKey(kFilterKeyPath, filters, saveResult)) {
        return saveResult;
    }

    registry::KeySnapshot lists;
    for (const auto& list : area.levels) {
        SaveFilterList(*list, lists);
    }
    lists.values.insert(lists.values.end(), area.filterListKey.values.begin(),
                        area.filterListKey.values.end());
    common::ReplaceAreaKey(kFilterListKeyPath, lists, saveResult);
    return saveResult;
}

}  // namespace filters

#include "pages/filters/filter_registry.h"

#include <string>
#include <utility>
#include <vector>

#include "registry/area_copy.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"
#include "registry/win_registry.h"

namespace filters {
namespace {

// What the save writes for every entry of a level key.
constexpr DWORD kEntryData = 1;

// The records are made from the copy the load reads of both keys (kept for the journal before
// the save), each value read as the queries of a single value read it.
void LoadText(const char* name, std::string& field, registry::KeySnapshot& kept) {
    registry::WholeStringOf(kept.FindValue(name), &field);
    registry::TakeOverText(kept, name, field);
}

void LoadNumber(const char* name, std::uint32_t& field, registry::KeySnapshot& kept) {
    field = registry::NumberOf(kept.FindValue(name)).value_or(0);
    registry::TakeOverNumber(kept, name, field);
}

std::unique_ptr<FilterDefinition> LoadFilter(registry::KeySnapshot key) {
    auto filter = std::make_unique<FilterDefinition>();
    filter->name = std::move(key.name);
    filter->kept.values = std::move(key.values);
    filter->kept.subkeys = std::move(key.subkeys);
    LoadText(kCommentValue, filter->comment, filter->kept);
    LoadText(kMaskValue, filter->mask, filter->kept);
    LoadNumber(kShowAttribValue, filter->showAttrib, filter->kept);
    LoadNumber(kShowModuleExplodeValue, filter->showModuleExplode, filter->kept);
    LoadNumber(kTypeValue, filter->type, filter->kept);
    return filter;
}

std::unique_ptr<FilterListDefinition> LoadFilterList(registry::KeySnapshot key) {
    auto list = std::make_unique<FilterListDefinition>();
    list->level = std::move(key.name);
    // Every named value is an available filter, whatever its type and data.
    for (const registry::RegValue& value : key.values) {
        if (value.name.empty()) {
            continue;
        }
        list->filters.push_back(value.name);
        if (!registry::HoldsNumber(value, kEntryData)) {
            list->kept.values.push_back(value);
        }
    }
    list->kept.subkeys = std::move(key.subkeys);

    const registry::RegValue* storedDefault = key.FindValue("");
    registry::WholeStringOf(storedDefault, &list->defaultFilter);
    if (storedDefault && !registry::HoldsText(*storedDefault, list->defaultFilter)) {
        list->storedDefault = registry::RegValue{"", storedDefault->type, storedDefault->data};
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
    auto keys = common::ReadAreaCopy(kFiltersArea, area.asRead, result);
    if (keys[0]) {
        area.filterKey.values = std::move(keys[0]->values);
        for (registry::KeySnapshot& subkey : keys[0]->subkeys) {
            area.filters.push_back(LoadFilter(std::move(subkey)));
        }
    }
    if (keys[1]) {
        area.filterListKey.values = std::move(keys[1]->values);
        for (registry::KeySnapshot& subkey : keys[1]->subkeys) {
            area.levels.push_back(LoadFilterList(std::move(subkey)));
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
    // A refused delete leaves the Filter key as it was, and FilterList is not written. A filter's
    // values are read by name; a level's order is the order of its list, and is kept.
    if (!common::ReplaceAreaKey(kFilterKeyPath, filters, saveResult, true)) {
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

#include "pages/filters/filter_definition.h"

#include <algorithm>
#include <utility>

#include "registry/reg_text.h"

namespace filters {

void FilterDefinition::SetMask(std::string text) {
    mask = std::move(text);
    kept.RemoveValue(kMaskValue);
}

void FilterDefinition::SetComment(std::string text) {
    comment = std::move(text);
    kept.RemoveValue(kCommentValue);
}

void FilterDefinition::SetShowAttrib(std::uint32_t bits) {
    showAttrib = bits;
    kept.RemoveValue(kShowAttribValue);
}

void FilterDefinition::SetShowModuleExplode(std::uint32_t on) {
    showModuleExplode = on;
    kept.RemoveValue(kShowModuleExplodeValue);
}

void FilterDefinition::SetType(std::uint32_t bits) {
    type = bits;
    kept.RemoveValue(kTypeValue);
}

int FilterListDefinition::IndexOf(std::string_view filterName) const {
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (NamesMatch(filters[i], filterName)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void FilterListDefinition::AddFilter(std::string filterName) {
    kept.RemoveValue(filterName);
    filters.push_back(std::move(filterName));
}

void FilterListDefinition::RemoveFilterAt(std::size_t index) {
    if (index >= filters.size()) {
        return;
    }
    kept.RemoveValue(filters[index]);
    filters.erase(filters.begin() + static_cast<std::ptrdiff_t>(index));
}

void FilterListDefinition::SetDefault(std::string filterName) {
    defaultFilter = std::move(filterName);
    storedDefault.reset();
}

bool NamesMatch(std::string_view a, std::string_view b) {
    return registry::NamesEqual(a, b);
}

std::unique_ptr<FilterDefinition> MakeNewFilter(std::string name) {
    auto filter = std::make_unique<FilterDefinition>();
    filter->name = std::move(name);
    return filter;
}

std::unique_ptr<FilterListDefinition> MakeNewFilterList(std::string level) {
    auto list = std::make_unique<FilterListDefinition>();
    list->level = std::move(level);
    return list;
}

int IndexOfFilter(const FilterRecords& records, std::string_view name) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (NamesMatch(records[i]->name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

FilterDefinition* FindFilter(const FilterRecords& records, std::string_view name) {
    const int index = IndexOfFilter(records, name);
    return index < 0 ? nullptr : records[static_cast<std::size_t>(index)].get();
}

FilterListDefinition* FindFilterList(const FilterListRecords& records, std::string_view level) {
    for (const auto& list : records) {
        if (NamesMatch(list->level, level)) {
            return list.get();
        }
    }
    return nullptr;
}

bool RemoveFilterList(FilterListRecords& records, std::string_view level) {
    const auto found = std::find_if(records.begin(), records.end(), [&](const auto& list) {
        return NamesMatch(list->level, level);
    });
    if (found == records.end()) {
        return false;
    }
    records.erase(found);
    return true;
}

std::string TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool IsNewFilterName(const FilterRecords& records, std::string_view name) {
    const std::string trimmed = TrimSpaces(name);
    // The trimmed form is checked too, so " All" is no new filter beside "All"; the untrimmed
    // one, so "All " is none beside a stored "All ".
    return !trimmed.empty() && FindFilter(records, trimmed) == nullptr &&
           FindFilter(records, name) == nullptr;
}

const FilterListDefinition* FirstListOffering(const FilterListRecords& records,
                                              std::string_view filterName) {
    for (const auto& list : records) {
        if (list->IndexOf(filterName) >= 0) {
            return list.get();
        }
    }
    return nullptr;
}

void WithdrawFromLevels(FilterListRecords& records, std::string_view filterName) {
    for (const auto& list : records) {
        const int index = list->IndexOf(filterName);
        if (index < 0) {
            continue;
        }
        list->RemoveFilterAt(static_cast<std::size_t>(index));
        if (NamesMatch(list->defaultFilter, filterName) && !list->filters.empty()) {
            list->SetDefault(list->filters.front());
        }
    }
}

bool IsLayoutValue(std::string_view valueName) {
    for (const char* layout :
         {kMaskValue, kCommentValue, kTypeValue, kShowAttribValue, kShowModuleExplodeValue}) {
        if (registry::NamesEqual(valueName, layout)) {
            return true;
        }
    }
    return false;
}

}  // namespace filters

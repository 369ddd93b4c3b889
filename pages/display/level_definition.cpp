#include "pages/display/level_definition.h"

#include <algorithm>

#include "pages/common/user_levels.h"

namespace display {

bool IsSortableColumn(std::string_view /*name*/) {
    return true;
}

ColumnDefinition* LevelDefinition::FindColumn(std::string_view columnName) const {
    for (const auto& column : columns) {
        if (common::EqualsNoCase(column->name, columnName)) {
            return column.get();
        }
    }
    return nullptr;
}

ColumnDefinition* LevelDefinition::ColumnAt(std::int32_t position) const {
    for (const auto& column : columns) {
        if (column->position == position) {
            return column.get();
        }
    }
    return nullptr;
}

std::vector<ColumnDefinition*> LevelDefinition::ColumnsInOrder() const {
    std::vector<ColumnDefinition*> ordered;
    ordered.reserve(columns.size());
    for (const auto& column : columns) {
        ordered.push_back(column.get());
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ColumnDefinition* a, const ColumnDefinition* b) {
                         return a->position < b->position;
                     });
    return ordered;
}

ColumnDefinition& LevelDefinition::AddColumn(std::string columnName) {
    auto column = std::make_unique<ColumnDefinition>();
    column->sortable = IsSortableColumn(columnName);
    column->name = std::move(columnName);
    column->position = static_cast<std::int32_t>(columns.size());
    column->width = kDefaultColumnWidth;
    columns.push_back(std::move(column));
    return *columns.back();
}

void LevelDefinition::RemoveColumn(const ColumnDefinition* column) {
    const auto found = std::find_if(columns.begin(), columns.end(),
                                    [column](const auto& c) { return c.get() == column; });
    if (found == columns.end()) {
        return;
    }
    const std::int32_t removed = column->position;
    const auto countBefore = static_cast<std::int32_t>(columns.size());
    columns.erase(found);
    for (const auto& c : columns) {
        if (c->position > removed) {
            --c->position;
        }
    }
    // A sort position that designates no column is left as it is.
    if (sortColumn == removed) {
        sortColumn = 0;
    } else if (sortColumn > removed && sortColumn < countBefore) {
        --sortColumn;
    }
}

bool LevelDefinition::MoveColumn(ColumnDefinition* column, int d) {
    if (column == nullptr || common::EqualsNoCase(column->name, kLabelColumn)) {
        return false;
    }
    const std::int32_t from = column->position;
    const std::int32_t to = from + d;
    // The first place belongs to "Label".
    if (to <= 0 || to >= static_cast<std::int32_t>(columns.size())) {
        return false;
    }
    ColumnDefinition* other = ColumnAt(to);
    column->position = to;
    if (other != nullptr) {
        other->position = from;
    }
    if (sortColumn == from) {
        sortColumn = to;
    } else if (sortColumn == to) {
        sortColumn = from;
    }
    return true;
}

std::unique_ptr<LevelDefinition> MakeNewLevel(std::string name) {
    auto level = std::make_unique<LevelDefinition>();
    level->name = std::move(name);
    level->descending = false;
    level->sortColumn = 0;
    level->volumes = kVlxVolumeBit;
    level->AddColumn(std::string(kLabelColumn));
    return level;
}

LevelDefinition* FindLevelByName(const LevelList& levels, std::string_view name) {
    for (const auto& level : levels) {
        if (common::EqualsNoCase(level->name, name)) {
            return level.get();
        }
    }
    return nullptr;
}

}  // namespace display

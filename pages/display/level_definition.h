#pragma once
// The display configuration of one user level: its file-list columns, sort order and the volume
// kinds its tree shows.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/key_snapshot.h"

namespace display {

// Columns that can be added to a level, in the order the page offers them. "Label" is not among
// them: it is the fixed first column of every new level.
inline constexpr std::array<std::string_view, 12> kColumnTable = {
    "Attributes", "Comment",    "DataSize",   "EditMode",    "Extension",    "Release",
    "Size",       "SourceSize", "timeAccess", "timeCreated", "timeModified", "User"};

inline constexpr std::string_view kLabelColumn = "Label";

// Volume kinds of the tree; row i is bit i of LevelDefinition::volumes.
inline constexpr std::array<std::string_view, 6> kVolumeTable = {"ARCHIV", "CD",  "FD",
                                                                 "HD",     "VLX", "NET"};

inline constexpr std::uint32_t kDefaultColumnWidth = 100;
inline constexpr std::uint32_t kVlxVolumeBit = 16;

// Every column can be sorted by.
bool IsSortableColumn(std::string_view name);

struct ColumnDefinition {
    std::string name;
    std::int32_t position = 0;  // place in the level's column order; the registry key number
    std::uint32_t width = kDefaultColumnWidth;
    bool sortable = true;

    // A name value that could not be read as text (another type, no terminating zero, or no
    // value at all) is shown as an empty name, but a save must not replace what is stored with
    // that empty name: it writes the stored value back as it was (or nothing, if there was none).
    bool keepStoredName = false;
    std::optional<registry::RegValue> storedName;

    // Whatever else the column's key held (values other than the name and "width", subkeys):
    // written back into the key of the column's position at the time of the save, so it moves
    // with the column.
    registry::KeySnapshot kept;
};

using ColumnList = std::vector<std::unique_ptr<ColumnDefinition>>;

struct LevelDefinition {
    bool descending = false;
    std::int32_t sortColumn = 0;  // position of the column the list is sorted by
    std::uint32_t volumes = 0;    // bit i = row i of kVolumeTable
    std::string name;             // also the registry subkey name
    ColumnList columns;           // in no particular order; `position` gives the order

    // What the level's key held that the layout does not own (values and keys the load did not
    // read, column keys after a gap, values beside the layout's own), paths relative to the
    // level key; the save writes it back after the layout's keys. Empty for a level added on
    // the page.
    registry::KeySnapshot kept;

    // First column whose name matches without regard to case, or null.
    ColumnDefinition* FindColumn(std::string_view columnName) const;
    // The column at that position, or null.
    ColumnDefinition* ColumnAt(std::int32_t position) const;
    // The columns ordered by position (records with equal positions keep their order).
    std::vector<ColumnDefinition*> ColumnsInOrder() const;

    // Appends a column of width 100 at the next free position and returns it.
    ColumnDefinition& AddColumn(std::string columnName);

    // Destroys the column and closes the gap it leaves. The sort column stays the same column;
    // if it was the removed one, the column at position 0 ("Label") becomes the sort column.
    void RemoveColumn(const ColumnDefinition* column);

    // Swaps the column with its neighbour d places away (d = -1 up, +1 down). Refused (false)
    // for "Label", for a move into position 0 and for a move past either end. The sort column
    // stays the same column.
    bool MoveColumn(ColumnDefinition* column, int d);
};

using LevelList = std::vector<std::unique_ptr<LevelDefinition>>;

// A level as the page creates it: column "Label" (width 100), ascending by position 0, only
// the "VLX" volume.
std::unique_ptr<LevelDefinition> MakeNewLevel(std::string name);

// First level whose name matches without regard to case, or null.
LevelDefinition* FindLevelByName(const LevelList& levels, std::string_view name);

}  // namespace display

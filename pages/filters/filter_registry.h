#pragma once
// Moves the filters and the level lists between the registry's Filter and FilterList keys and
// memory. No user interface: the page decides what to show for a failed delete.

#include <array>
#include <string_view>

#include "pages/common/area_contract.h"
#include "pages/filters/filter_definition.h"
#include "registry/area_copy.h"
#include "registry/key_snapshot.h"

namespace filters {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kFilterKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter";
inline constexpr const char* kFilterListKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList";

inline constexpr std::array<std::string_view, 2> kFilterKeys{kFilterKeyPath, kFilterListKeyPath};
inline constexpr common::AreaDescriptor kFiltersArea{"Filter/Filter list", kFilterKeys,
                                                     kFilterKeys};

// What the page loads: the filters, the level lists, and the two keys' own values, which no
// filter or level owns.
struct FiltersArea {
    FilterRecords filters;
    FilterListRecords levels;
    registry::KeySnapshot filterKey;
    registry::KeySnapshot filterListKey;
    // The two keys as the load read them, for the journal before the save.
    registry::AreaCopy asRead;
};

class FilterRegistry {
  public:
    // Replaces the area with what the two keys hold, in enumeration order. A key that cannot be
    // opened fails and leaves its records empty; the other is read all the same.
    static common::AreaResult Load(FiltersArea& area);

    // Deletes the Filter key and writes every filter anew, then does the same with the
    // FilterList key and the level lists; each record is followed by what its load kept. A key
    // that cannot be created is skipped. An area left without records or values of its own
    // leaves no key. A failed delete stops the save there, after putting back what it had
    // already removed of that key, so it is as it was before; a key after it is not touched.
    static common::AreaResult Save(const FiltersArea& area);
};

}  // namespace filters

#pragma once
// Moves the filters and the level lists between the registry's Filter and FilterList keys and
// memory. No user interface: the page decides what to show for a failed delete.

#include <cstdint>

#include "pages/filters/filter_definition.h"
#include "registry/key_snapshot.h"

namespace filters {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kFilterKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter";
inline constexpr const char* kFilterListKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList";

// What the two keys hold besides the records: their own values, which no filter or level owns.
struct FilterAreaValues {
    registry::KeySnapshot filterKey;
    registry::KeySnapshot filterListKey;
};

struct FilterLoadResult {
    bool filterKeyOpened = false;
    bool filterListKeyOpened = false;
    bool Ok() const { return filterKeyOpened && filterListKeyOpened; }
};

struct FilterSaveResult {
    // Deleting an area failed. The save stopped there and put back what the delete had already
    // removed of that area, so it is as it was before; an area after it is not touched.
    bool deleteFailed = false;
    bool filterListArea = false;  // the failed area: the FilterList key (else the Filter key)
    std::int32_t deleteError = 0;
};

class FilterRegistry {
  public:
    // Replaces the records with what the two keys hold, in enumeration order. An area whose key
    // cannot be opened leaves its records empty; the other is read all the same.
    static FilterLoadResult Load(FilterRecords& filters, FilterListRecords& levels,
                                 FilterAreaValues& areaValues);

    // Deletes the Filter key and writes every filter anew, then does the same with the
    // FilterList key and the level lists; each record is followed by what its load kept. A key
    // that cannot be created is skipped. An area left without records or values of its own
    // leaves no key.
    static FilterSaveResult Save(const FilterRecords& filters, const FilterListRecords& levels,
                                 const FilterAreaValues& areaValues);
};

}  // namespace filters

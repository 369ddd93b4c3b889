#pragma once
// Moves the display levels between the registry's Display key and memory. No user interface:
// the page decides what to show for a failed delete.

#include <array>
#include <string_view>

#include "pages/common/area_contract.h"
#include "pages/display/level_definition.h"
#include "registry/key_snapshot.h"

namespace display {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kDisplayKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display";

inline constexpr std::array<std::string_view, 1> kDisplayKeys{kDisplayKeyPath};
inline constexpr common::AreaDescriptor kDisplayArea{"Display", kDisplayKeys, kDisplayKeys};

// What the page loads: the levels, and the values of the Display key itself, which no level
// owns.
struct DisplayArea {
    LevelList levels;
    registry::KeySnapshot displayValues;
};

class DisplayRegistry {
  public:
    // Replaces the levels with every level stored under the Display key, in enumeration order,
    // and the Display key's own values. Each level and column record also takes what its keys
    // hold beyond the layout (its `kept`). Fails only when the Display key cannot be opened
    // (then both stay empty).
    static common::AreaResult Load(DisplayArea& area);

    // Deletes the whole Display key and writes every level anew, each followed by what its load
    // kept, then the Display key's own values. A key that cannot be created is skipped. With no
    // levels and no values of its own, no Display key is left. A failed delete is reported (the
    // writes are made all the same).
    static common::AreaResult Save(const DisplayArea& area);
};

}  // namespace display

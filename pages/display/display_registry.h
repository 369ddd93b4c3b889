#pragma once
// Moves the display levels between the registry's Display key and memory. No user interface:
// the page decides what to show for a failed delete.

#include <cstdint>

#include "pages/display/level_definition.h"

namespace display {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kDisplayKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display";

struct DisplaySaveResult {
    // Deleting the old Display tree failed (the writes were made all the same).
    bool deleteFailed = false;
    std::int32_t deleteError = 0;  // the delete's result code when it failed
};

class DisplayRegistry {
  public:
    // Replaces `levels` with every level stored under the Display key, in enumeration order,
    // and `displayValues` with the values of the Display key itself, which no level owns. Each
    // level and column record also takes what its keys hold beyond the layout (its `kept`).
    // False only when the Display key cannot be opened (then both stay empty).
    static bool Load(LevelList& levels, registry::KeySnapshot& displayValues);

    // Deletes the whole Display key and writes every level anew, each followed by what its load
    // kept, then the Display key's own values. A key that cannot be created is skipped. With no
    // levels and no values of its own, no Display key is left.
    static DisplaySaveResult Save(const LevelList& levels,
                                  const registry::KeySnapshot& displayValues);
};

}  // namespace display

#pragma once
// What a control reports to its dialog. Controls report user actions only: a change made by the
// program (setting a selection, text or check mark) never produces a notification.

#include "framework/tree_item.h"

namespace fw {

enum class Notify {
    Clicked,        // button or check box clicked; also menu commands (see MessageTable::OnCommand)
    DoubleClicked,  // list box / list view / tree row double-clicked
    SelChange,      // list box, combo box, tree or tab control selection changed by the user
    SelAccept,      // combo box: the user chose an entry (also the one already selected)
    TextChanged,    // edit: the user changed the text
    CheckToggled,   // check list box: the user toggled a row's check mark (its row is selected
                    // first)
    ItemChecked,    // tree: the user toggled an item's check box (item in Notification::item)
    ItemChanged,    // list view: the selected row changed by the user (row in Notification::row)
    DeltaPos,       // up-down: position change requested (delta in Notification::delta)
};

// The notification as handed to a handler. Handlers may set `result` (up-down: nonzero refuses
// the position change; otherwise informational).
struct Notification {
    int controlId = 0;
    Notify code = Notify::Clicked;
    int row = -1;   // list rows: the row concerned, -1 when none
    int delta = 0;  // DeltaPos: -1 for the upper arrow, +1 for the lower arrow
    TreeItem item;  // tree notifications: the item concerned
    int result = 0;
};

}  // namespace fw

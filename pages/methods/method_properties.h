#pragma once
// What both method pages show of one method: the four check lists (system conditions, item
// conditions, "Ask user before run", "Enable for user"), the properties caption, the number line
// and the status line with the description of the condition row last selected. The pages differ
// in how they find the selected method and in the ids of their controls.

#include <string>

#include "framework/dialog.h"
#include "pages/methods/method_definition.h"

namespace methods {

struct PropertyControls {
    int caption;           // group box "Properties for: ..."
    int systemConditions;  // check list
    int itemConditions;    // check list
    int askBefore;         // check list of the user levels
    int active;            // check list of the user levels
    int status;            // status line
    int number;            // "Modul proc for ... is ..."
};

class MethodProperties {
  public:
    MethodProperties(fw::Dialog& page, const PropertyControls& ids);

    // Fills the four check lists with their fixed rows, each carrying its mask; all unchecked.
    void FillLists();

    // Shows `method` (null: none) in the check marks, the caption and the number line.
    void ShowMethod(const MethodDefinition* method);
    // Selects row 0 of the item, system and level lists and shows the first item condition in
    // the status line.
    void ResetRows();

    // The status line for the row selected in `listId` (one of the two condition lists); with
    // no row selected nothing changes.
    void ShowStatus(int listId);

    // The user toggled a check mark in `listId`: sets or clears exactly that row's bits in the
    // matching mask of `method`. Nothing without a method or a current row.
    void ApplyToggle(int listId, MethodDefinition* method);

    // Whether `id` is one of the four check lists.
    bool IsCheckList(int id) const;

  private:
    MethodMask MaskOfList(int listId) const;

    fw::Dialog& page_;
    PropertyControls ids_;
};

}  // namespace methods

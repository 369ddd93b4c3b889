// Dialog 129: the "Display" tab page.
#include "resources/templates/template_129.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template129() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t129;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            // Which user levels have a display configuration.
            {kLevelsGroup, ControlKind::GroupBox, "Display levels", 7, 3, 104, 196},
            {kSupportedLevelsLabel, ControlKind::Label, "Supported", 14, 13, 60, 8},
            {kSupportedLevels, ControlKind::ListBox, "", 14, 23, 90, 58, fw::kSorted},
            {kAddLevel, ControlKind::Button, "Add to defined", 14, 86, 90, 14},
            {kRemoveLevel, ControlKind::Button, "Remove from defined", 14, 104, 90, 14},
            {kDefinedLevelsLabel, ControlKind::Label, "Defined", 14, 124, 60, 8},
            {kDefinedLevels, ControlKind::ListBox, "", 14, 134, 90, 60},

            // The selected level's columns, sort order and volumes.
            {kPropertiesGroup, ControlKind::GroupBox, "Properties for level", 115, 3, 296, 196},
            {kSupportedColumnsLabel, ControlKind::Label, "Supported", 122, 13, 60, 8},
            {kSupportedColumns, ControlKind::ListBox, "", 122, 23, 78, 90, fw::kSorted},
            {kAddColumn, ControlKind::Button, "Add to defined", 206, 35, 84, 14},
            {kRemoveColumn, ControlKind::Button, "Remove from defined", 206, 53, 84, 14},
            {kNoId, ControlKind::Label, "Column width", 206, 80, 84, 8},
            {kColumnWidth, ControlKind::Edit, "", 206, 90, 50, 12, fw::kDigitsOnly},
            {kDefinedColumnsLabel, ControlKind::Label, "Defined", 296, 13, 60, 8},
            {kDefinedColumns, ControlKind::ListBox, "", 296, 23, 78, 90},
            {kNoId, ControlKind::Label, "  Up  ", 378, 45, 26, 8, fw::kAlignCenter},
            {kMoveColumn, ControlKind::UpDown, "", 385, 55, 12, 28},
            {kNoId, ControlKind::Label, "Down", 378, 85, 26, 8, fw::kAlignCenter},

            {kNoId, ControlKind::GroupBox, "List sort order", 122, 119, 150, 74},
            {kNoId, ControlKind::Label, "Sort by column", 130, 133, 80, 8},
            {kSortColumn, ControlKind::ComboBox, "", 130, 143, 134, 100},
            {kSortDescending, ControlKind::CheckBox, "Sort descending", 130, 164, 100, 10},

            {kNoId, ControlKind::GroupBox, "Displayed volumes", 278, 119, 126, 74},
            {kVolumes, ControlKind::CheckListBox, "", 286, 130, 110, 58},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 322, 205, 85, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 85, 16},
            {kExit, ControlKind::Button, "E&xit", 322, 224, 85, 16},
        });
    return tmpl;
}

}  // namespace res

// Dialog 130: the "Filter/Filter list" tab page.
#include "resources/templates/template_130.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template130() {
    using fw::ControlKind;
    using namespace t130;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            // Which user levels have a filter list.
            {kLevelsGroup, ControlKind::GroupBox, "Filter levels ", 7, 3, 104, 237},
            {kSupportedLevelsLabel, ControlKind::Label, "Supported filter levels", 14, 13, 90, 8},
            {kSupportedLevels, ControlKind::ListBox, "", 14, 23, 90, 58, fw::kSorted},
            {kAddLevel, ControlKind::Button, "Add to defined", 14, 85, 90, 14},
            {kRemoveLevel, ControlKind::Button, "Remove from defined", 14, 102, 90, 14},
            {kDefinedLevelsLabel, ControlKind::Label, "Defined filter levels", 14, 122, 90, 8},
            {kDefinedLevels, ControlKind::ListBox, "", 14, 132, 90, 101},

            // Every filter, and the filters of the selected level.
            {kAvailableGroup, ControlKind::GroupBox, "Available filters ", 115, 3, 118, 237},
            {kAllFiltersLabel, ControlKind::Label, "All available filters", 122, 13, 104, 8},
            {kAllFilters, ControlKind::ListBox, "", 122, 23, 104, 82},
            {kRemoveFilter, ControlKind::Button, "Remove from all available", 122, 108, 104, 14},
            {kLevelFiltersLabel, ControlKind::Label, "Available filters at level", 122, 128, 104,
             8},
            {kLevelFilters, ControlKind::CheckListBox, "", 122, 138, 104, 62},
            {kMakeAvailable, ControlKind::Button, "Make available to level", 122, 204, 104, 14},
            {kDisableForLevel, ControlKind::Button, "Disable for level", 122, 221, 104, 14},

            // A new filter's name.
            {kNewFilterGroup, ControlKind::GroupBox, "Define new filter", 237, 3, 175, 44},
            {kNewNameLabel, ControlKind::Label, "Name", 244, 15, 24, 8},
            {kNewName, ControlKind::Edit, "", 270, 13, 135, 12},
            {kAddFilter, ControlKind::Button, "Add to all available filters", 270, 29, 135, 14},

            // The selected filter.
            {kPropertiesGroup, ControlKind::GroupBox, "Properties for filter:", 237, 50, 175, 152},
            {kMaskLabel, ControlKind::Label, "Mask", 244, 63, 34, 8},
            {kMask, ControlKind::Edit, "", 280, 61, 125, 12},
            {kCommentLabel, ControlKind::Label, "Comment", 244, 78, 34, 8},
            {kComment, ControlKind::Edit, "", 280, 76, 125, 12},
            {kFastDeleteLabel, ControlKind::Label, "Fast Delete Template", 244, 95, 78, 8},
            {kFastDeleteTemplate, ControlKind::ComboBox, "", 244, 105, 76, 100},
            {kShowExplode, ControlKind::CheckBox, "Show explode", 244, 124, 76, 10},
            {kAttributesGroup, ControlKind::GroupBox, "Attributes ", 244, 138, 76, 44},
            {kSystem, ControlKind::CheckBox, "System", 252, 150, 60, 10},
            {kHidden, ControlKind::CheckBox, "Hidden", 252, 164, 60, 10},
            {kTypeLabel, ControlKind::Label, "Type", 326, 95, 79, 8},
            {kTypes, ControlKind::CheckListBox, "", 326, 105, 79, 91},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

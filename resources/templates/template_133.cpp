// Dialog 133: the "Templates/Templates list" tab page.
#include "resources/templates/template_133.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template133() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t133;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            // The directories that have a template list.
            {kDirectoriesGroup, ControlKind::GroupBox, "Directories list", 7, 3, 120, 196},
            {kDirectoryPathLabel, ControlKind::Label, "Full path", 14, 14, 100, 8},
            {kDirectoryPath, ControlKind::Edit, "", 14, 24, 106, 12},
            {kBrowseDirectory, ControlKind::Button, "Browse for Path", 14, 40, 106, 14},
            {kAddDirectory, ControlKind::Button, "Add to defined", 14, 57, 106, 14},
            {kDirectories, ControlKind::ListBox, "", 14, 75, 106, 103, fw::kHorizontalScroll},
            {kRemoveDirectory, ControlKind::Button, "Remove from defined", 14, 180, 106, 14},

            // Every template, and those of the selected directory.
            {kTemplatesGroup, ControlKind::GroupBox, "Available templates", 131, 3, 130, 196},
            {kNoId, ControlKind::Label, "All available", 138, 14, 100, 8},
            {kTemplates, ControlKind::ListBox, "", 138, 24, 116, 52},
            {kRemoveTemplate, ControlKind::Button, "Remove from all available", 138, 78, 116, 14},
            {kDirectoryTemplatesLabel, ControlKind::Label, "Templates for directory:", 138, 97, 116,
             8},
            {kSelectedDirectory, ControlKind::Label, "Directory", 138, 107, 116, 8},
            {kDirectoryTemplates, ControlKind::ListBox, "", 138, 117, 116, 45},
            {kEnableForDirectory, ControlKind::Button, "Enable for directory", 138, 163, 116, 14},
            {kDisableForDirectory, ControlKind::Button, "Disable for directory", 138, 180, 116, 14},

            // A template to add.
            {kNewTemplateGroup, ControlKind::GroupBox, "Define new template", 265, 3, 146, 46},
            {kNewNameLabel, ControlKind::Label, "Name", 272, 16, 26, 8},
            {kNewName, ControlKind::Edit, "", 300, 14, 104, 12},
            {kAddTemplate, ControlKind::Button, "Add to all available templates", 272, 30, 132, 14},

            // The selected template.
            {kPropertiesGroup, ControlKind::GroupBox, "Properties for template:", 265, 53, 146,
             146},
            {kMaskLabel, ControlKind::Label, "Mask", 272, 67, 32, 8},
            {kMask, ControlKind::Edit, "", 306, 65, 98, 12},
            {kCommentLabel, ControlKind::Label, "Comment", 272, 83, 32, 8},
            {kComment, ControlKind::Edit, "", 306, 81, 98, 12},
            {kFullPathLabel, ControlKind::Label, "Full path", 272, 99, 32, 8},
            {kFullPath, ControlKind::Edit, "", 306, 97, 98, 12},
            {kBrowseFullPath, ControlKind::Button, "Browse for it", 306, 113, 98, 14},
            {kUsersGroup, ControlKind::GroupBox, "Define for users", 272, 132, 62, 61},
            {kDemo, ControlKind::CheckBox, "Demo", 279, 143, 50, 10},
            {kUser, ControlKind::CheckBox, "User", 279, 155, 50, 10},
            {kExpert, ControlKind::CheckBox, "Expert", 279, 167, 50, 10},
            {kAdmin, ControlKind::CheckBox, "Admin", 279, 179, 50, 10},
            {kNoId, ControlKind::GroupBox, "Attributes", 338, 132, 66, 61},
            {kFastCreate, ControlKind::CheckBox, "Fast create", 344, 143, 56, 10},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

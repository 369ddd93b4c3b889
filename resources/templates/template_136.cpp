// Dialog 136: the "Archive Manager" tab page.
#include "resources/templates/template_136.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template136() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t136;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            // Named archive paths, each with its paths and one default among them.
            {kNoId, ControlKind::GroupBox, "Archive paths", 7, 3, 160, 196},
            {kNoId, ControlKind::Label, "Name:", 14, 15, 24, 8},
            {kPathName, ControlKind::Edit, "", 40, 13, 120, 12},
            {kNoId, ControlKind::Label, "Path:", 14, 31, 24, 8},
            {kPath, ControlKind::Edit, "", 40, 29, 120, 12},
            {kRemovePathName, ControlKind::Button, "Remove path name", 14, 46, 70, 14},
            {kBrowseForPath, ControlKind::Button, "Browse for path", 90, 46, 70, 14},
            {kNoId, ControlKind::Label, "Available path names", 14, 66, 146, 8},
            {kPathNames, ControlKind::ListBox, "", 14, 76, 146, 44},
            {kPathsCaption, ControlKind::Label, "Paths defined in: ...", 14, 124, 146, 8},
            {kPaths, ControlKind::CheckListBox, "", 14, 134, 146, 42},
            {kAddPath, ControlKind::Button, "Add path", 14, 180, 70, 14},
            {kRemovePath, ControlKind::Button, "Remove path", 90, 180, 70, 14},

            // Archive configurations with their registry and file sources.
            {kNoId, ControlKind::GroupBox, "Archive configurations", 173, 3, 238, 196},
            {kConfigurations, ControlKind::ListBox, "", 180, 15, 108, 60},
            {kNoId, ControlKind::Label, "New archive configuration", 294, 15, 110, 8},
            {kNewConfiguration, ControlKind::Edit, "", 294, 25, 110, 12},
            {kAddConfiguration, ControlKind::Button, "Add to available", 294, 42, 110, 14},
            {kRemoveConfiguration, ControlKind::Button, "Remove config", 294, 60, 110, 14},
            {kRegistrySourcesCaption, ControlKind::Label, "Registry sources for: ...", 180, 80, 224,
             8},
            {kRegistrySources, ControlKind::ListBox, "", 180, 90, 162, 40, fw::kHorizontalScroll},
            {kAddRegistrySource, ControlKind::Button, "Add reg source", 348, 90, 56, 14},
            {kRemoveRegistrySource, ControlKind::Button, "Remove reg", 348, 108, 56, 14},
            {kFileSourcesCaption, ControlKind::Label, "File sources for: ...", 180, 136, 224, 8},
            {kFileSources, ControlKind::CheckListBox, "", 180, 146, 162, 46, fw::kHorizontalScroll},
            {kAddFileSource, ControlKind::Button, "Add file source", 348, 146, 56, 14},
            {kRemoveFileSource, ControlKind::Button, "Remove file", 348, 164, 56, 14},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

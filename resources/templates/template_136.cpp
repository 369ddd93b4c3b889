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
            {kNoId, ControlKind::GroupBox, "Archive paths", 7, 3, 160, 198},
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
            {kNoId, ControlKind::GroupBox, "Archive configurations", 173, 3, 238, 198},
            {kConfigurations, ControlKind::ListBox, "", 180, 15, 108, 52},
            {kNoId, ControlKind::Label, "New archive configuration", 294, 14, 110, 8},
            {kNewConfiguration, ControlKind::Edit, "", 294, 23, 110, 12},
            {kAddConfiguration, ControlKind::Button, "Add to available", 294, 39, 110, 14},
            {kRemoveConfiguration, ControlKind::Button, "Remove config", 294, 56, 110, 14},
            {kRegistrySourcesCaption, ControlKind::Label, "Registry sources for: ...", 180, 73, 224,
             8},
            {kRegistrySources, ControlKind::ListBox, "", 180, 83, 162, 46, fw::kHorizontalScroll},
            {kAddRegistrySource, ControlKind::Button, "Add reg source", 348, 83, 56, 14},
            {kRemoveRegistrySource, ControlKind::Button, "Remove reg", 348, 101, 56, 14},
            {kFileSourcesCaption, ControlKind::Label, "File sources for: ...", 180, 134, 224, 8},
            {kFileSources, ControlKind::CheckListBox, "", 180, 144, 162, 52, fw::kHorizontalScroll},
            {kAddFileSource, ControlKind::Button, "Add file source", 348, 144, 56, 14},
            {kRemoveFileSource, ControlKind::Button, "Remove file", 348, 162, 56, 14},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

// Dialog 135: the "Upgrade Manager" tab page.
#include "resources/templates/template_135.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template135() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t135;
    constexpr unsigned kReport = fw::kReportView | fw::kNoColumnSort | fw::kShowSelectionAlways;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            {kNoId, ControlKind::GroupBox, "Supported system types ", 7, 3, 96, 98},
            {kSystemTypes, ControlKind::ListBox, "", 14, 14, 82, 82, fw::kSorted},

            // The selected system type's files and their versions.
            {kFilesGroup, ControlKind::GroupBox, "Files and Versions for: ", 109, 3, 302, 98},
            {kNoId, ControlKind::Label, "Name:", 116, 14, 60, 8},
            {kFileName, ControlKind::Edit, "", 116, 24, 110, 12},
            {kNoId, ControlKind::Label, "Version:", 116, 40, 60, 8},
            {kFileVersion, ControlKind::Edit, "", 116, 50, 110, 12},
            {kAddFile, ControlKind::Button, "Add to defined", 116, 67, 110, 13},
            {kRemoveFile, ControlKind::Button, "Remove from defined", 116, 83, 110, 13},
            {kFiles, ControlKind::ListView, "", 233, 14, 171, 82, kReport},

            // The destination paths the upgrade manager watches.
            {kNoId, ControlKind::GroupBox, "Monitored paths ", 7, 105, 404, 94},
            {kNoId, ControlKind::Label, "Name:", 14, 116, 60, 8},
            {kPathName, ControlKind::Edit, "", 14, 126, 140, 12},
            {kNoId, ControlKind::Label, "Path:", 14, 142, 60, 8},
            {kPath, ControlKind::Edit, "", 14, 152, 140, 12},
            {kBrowse, ControlKind::Button, "Browse for it", 14, 170, 68, 14},
            {kAddPath, ControlKind::Button, "Add to defined", 86, 170, 68, 14},
            {kPaths, ControlKind::ListView, "", 162, 116, 242, 60, kReport},
            {kRemovePath, ControlKind::Button, "Remove from defined", 316, 180, 88, 14},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

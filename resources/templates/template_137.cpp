// Dialog 137: the "General/Folder Layout" tab page.
#include "resources/templates/template_137.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template137() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t137;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            // The predefined tree: a path to add, and the tree with a check box per folder.
            {kNoId, ControlKind::GroupBox, "Predefined tree ", 7, 3, 200, 196},
            {kNoId, ControlKind::Label, "Full Path", 14, 14, 100, 8},
            {kFullPath, ControlKind::Edit, "", 14, 24, 186, 13},
            {kBrowse, ControlKind::Button, "Browse for it", 110, 41, 90, 14},
            {kNoId, ControlKind::Label, "Graphic view:", 14, 52, 100, 8},
            {kTree, ControlKind::TreeView, "", 14, 62, 186, 112,
             fw::kTreeLines | fw::kShowSelectionAlways},
            {kAddToTree, ControlKind::Button, "Add to tree", 14, 179, 90, 14},
            {kRemoveFromTree, ControlKind::Button, "Remove from tree", 110, 179, 90, 14},

            // The manager's paths and the default backup parameters.
            {kNoId, ControlKind::GroupBox, "General preferences ", 213, 3, 198, 196},
            {kNoId, ControlKind::Label, "Mirror path", 220, 14, 100, 8},
            {kMirrorPath, ControlKind::Edit, "", 220, 24, 184, 13},
            {kNoId, ControlKind::Label, "Archive path", 220, 44, 100, 8},
            {kArchivePath, ControlKind::Edit, "", 220, 54, 184, 13},
            {kNoId, ControlKind::Label, "Kestrin name", 220, 74, 100, 8},
            {kKestrinName, ControlKind::Edit, "", 220, 84, 184, 13, fw::kReadOnly},
            {kNoId, ControlKind::GroupBox, "Default backup parameters ", 220, 106, 184, 58},
            {kNoId, ControlKind::Label, "Config", 228, 122, 40, 8},
            {kBackupConfig, ControlKind::Edit, "", 270, 120, 126, 13},
            {kNoId, ControlKind::Label, "Archive", 228, 142, 40, 8},
            {kBackupArchive, ControlKind::Edit, "", 270, 140, 126, 13},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

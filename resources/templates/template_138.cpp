// Dialog 138: the directory picker ("Please select a path").
#include "resources/templates/template_138.h"

#include "framework/dialog_template.h"

namespace res {

const fw::DialogTemplate& Template138() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t138;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "Please select a path",
        222,
        139,
        "MS Sans Serif",
        8,
        fw::WindowKind::Popup,
        fw::kCaption | fw::kSystemMenu | fw::kModalFrame,
        0,
        {
            {kNoId, ControlKind::Label, "Current path:", 7, 7, 0, 0},
            {kPath, ControlKind::Edit, "", 7, 20, 208, 13},
            {kNoId, ControlKind::Label, "Directories", 7, 40, 0, 0},
            {kDirectories, ControlKind::ListBox, "", 7, 51, 134, 81},
            {kNoId, ControlKind::Label, "Drives", 147, 39, 0, 0},
            {kDrives, ControlKind::ListBox, "", 147, 52, 68, 43, fw::kSorted},
            {fw::kIdOk, ControlKind::Button, "OK", 147, 101, 68, 14, fw::kDefaultButton},
            {fw::kIdCancel, ControlKind::Button, "Cancel", 147, 118, 68, 14},
        },
    };
    return tmpl;
}

}  // namespace res

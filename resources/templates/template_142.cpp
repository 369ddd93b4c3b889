// Dialog 142: the registry source picker "Select registry sources".
#include "resources/templates/template_142.h"

#include "framework/dialog_template.h"

namespace res {

const fw::DialogTemplate& Template142() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t142;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "Select registry sources",
        222,
        139,
        "MS Sans Serif",
        8,
        fw::WindowKind::Popup,
        fw::kCaption | fw::kSystemMenu | fw::kModalFrame,
        0,
        {
            {kNoId, ControlKind::Label, "Manual", 2, 2, 60, 8},
            {kManualEntry, ControlKind::Edit, "", 2, 13, 218, 12},
            {kNoId, ControlKind::Label, "Browse", 2, 28, 60, 8},
            {kKeyTree, ControlKind::TreeView, "", 2, 39, 218, 81, fw::kTreeLines | fw::kHotTrack},
            {kNoId, ControlKind::Label, "Checked items will be added as registry sources", 2, 121,
             107, 15},
            {kOk, ControlKind::Button, "OK", 118, 123, 50, 14, fw::kDefaultButton},
            {kCancel, ControlKind::Button, "Cancel", 170, 123, 50, 14},
        },
    };
    return tmpl;
}

}  // namespace res

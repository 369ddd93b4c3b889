// Framework test dialog 901: a small modal picker with OK (default) and Cancel.
#include "framework/dialog_template.h"
#include "resources/templates/template_900.h"

namespace res {

const fw::DialogTemplate& Template901() {
    using fw::ControlKind;
    using namespace t901;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "Pick a name",
        150,
        100,
        "MS Sans Serif",
        8,
        fw::WindowKind::Popup,
        fw::kCaption | fw::kSystemMenu | fw::kModalFrame,
        0,
        {
            {fw::kNoId, ControlKind::Label, "Name:", 7, 7},
            {kName, ControlKind::Edit, "", 7, 18, 136, 12},
            {kList, ControlKind::ListBox, "", 7, 34, 80, 50, fw::kSorted},
            {fw::kIdOk, ControlKind::Button, "OK", 93, 34, 50, 14, fw::kDefaultButton},
            {fw::kIdCancel, ControlKind::Button, "Cancel", 93, 52, 50, 14},
        },
    };
    return tmpl;
}

}  // namespace res

// Dialog 131: the "Methods" tab page, a borderless child of 418 x 245 dialog units.
#include "resources/templates/template_131.h"

#include "framework/dialog_template.h"

namespace res {

const fw::DialogTemplate& Template131() {
    using fw::ControlKind;
    using namespace t131;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "",
        418,
        245,
        "MS Sans Serif",
        8,
        fw::WindowKind::Child,
        fw::kDialogStyleNone,
        0,
        {
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        },
    };
    return tmpl;
}

}  // namespace res

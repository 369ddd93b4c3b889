// Dialog 151: the About box.
#include "resources/templates/template_151.h"

#include "framework/dialog_template.h"

namespace res {

const fw::DialogTemplate& Template151() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t151;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "About...",
        151,
        59,
        "MS Sans Serif",
        8,
        fw::WindowKind::Popup,
        fw::kCaption | fw::kSystemMenu | fw::kModalFrame,
        0,
        {
            {kNoId, ControlKind::Icon, "", 8, 8, 20, 20, fw::kStyleNone, kIcon},
            {kNoId, ControlKind::Label, "VORNA Roboter GmbH", 36, 9, 110, 8},
            {kNoId, ControlKind::Label, "VLX Configurator", 36, 19, 110, 8},
            {kNoId, ControlKind::Label, "Version:", 36, 29, 27, 8},
            {kVersion, ControlKind::Label, "xxxxxxxxx", 64, 29, 39, 8},
            {fw::kIdOk, ControlKind::Button, "OK", 99, 43, 50, 14, fw::kDefaultButton},
        },
    };
    return tmpl;
}

}  // namespace res

// Dialog 102: the main window.
#include "resources/templates/template_102.h"

#include "framework/dialog_template.h"

namespace res {

const fw::DialogTemplate& Template102() {
    using fw::ControlKind;
    using namespace t102;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "VLX Configurator",
        424,
        271,
        "MS Sans Serif",
        8,
        fw::WindowKind::Popup,
        fw::kCaption | fw::kSystemMenu | fw::kMinimizeBox | fw::kModalFrame | fw::kAppWindow,
        kMenu,
        {
            {kTabs, ControlKind::TabControl, "", 2, 0, 419, 269,
             fw::kMultiLineTabs | fw::kHotTrack | fw::kNeverFocus},
        },
    };
    return tmpl;
}

}  // namespace res

// Framework test dialog 902: a main-window-like popup with a tab control and a menu.
#include "framework/dialog_template.h"
#include "resources/templates/template_900.h"

namespace res {

const fw::DialogTemplate& Template902() {
    using fw::ControlKind;
    using namespace t902;
    static const fw::DialogTemplate tmpl{
        kTemplate,
        "Framework test window",
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

// Dialog 131: the "Methods" tab page.
#include "resources/templates/template_131.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template131() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t131;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            {kMethodsGroup, ControlKind::GroupBox, "Available methods ", 7, 3, 112, 196},
            {kMethods, ControlKind::ListBox, "", 14, 14, 98, 179},

            // The selected method's conditions and level flags.
            {kPropertiesGroup, ControlKind::GroupBox, "Properties for:", 125, 3, 286, 196},
            {kNoId, ControlKind::Label, "System conditions", 132, 14, 84, 8},
            {kSystemConditions, ControlKind::CheckListBox, "", 132, 24, 84, 152},
            {kItemConditionsLabel, ControlKind::Label, "Item conditions", 222, 14, 90, 8},
            {kItemConditions, ControlKind::CheckListBox, "", 222, 24, 90, 152},
            {kAskBeforeLabel, ControlKind::Label, "Ask user before run", 318, 14, 86, 8},
            {kAskBefore, ControlKind::CheckListBox, "", 318, 24, 86, 68},
            {kActiveLabel, ControlKind::Label, "Enable for user", 318, 98, 86, 8},
            {kActive, ControlKind::CheckListBox, "", 318, 108, 86, 68},
            {kStatus, ControlKind::Label, "Static", 132, 181, 272, 12, fw::kSunken},

            {kNumber, ControlKind::Label, "Modul proc", 7, 208, 220, 8},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

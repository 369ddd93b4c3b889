// Framework test dialog 900: a page-like borderless child with one control of each kind.
#include "resources/templates/template_900.h"

#include "framework/dialog_template.h"

namespace res {

const fw::DialogTemplate& Template900() {
    using fw::ControlKind;
    using namespace t900;
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
            {kGroup, ControlKind::GroupBox, "Levels", 2, 2, 200, 120},
            {kSortedList, ControlKind::ListBox, "", 7, 14, 60, 50, fw::kSorted},
            {kPlainList, ControlKind::ListBox, "", 72, 14, 60, 50},
            {kCheckList, ControlKind::CheckListBox, "", 137, 14, 60, 50},
            {kCombo, ControlKind::ComboBox, "", 7, 70, 60, 60},
            {kSortedCombo, ControlKind::ComboBox, "", 72, 70, 60, 60, fw::kSorted},
            {kNumberEdit, ControlKind::Edit, "", 7, 88, 40, 12, fw::kDigitsOnly},
            {kTextEdit, ControlKind::Edit, "", 52, 88, 80, 12},
            {kSignedEdit, ControlKind::Edit, "", 137, 88, 40, 12},
            {kCheck, ControlKind::CheckBox, "Sort &descending", 7, 104, 80, 10},
            {kAddButton, ControlKind::Button, "&Add", 137, 104, 50, 14},
            {kTree, ControlKind::TreeView, "", 210, 2, 100, 90,
             fw::kTreeCheckBoxes | fw::kTreeLines},
            {kReport, ControlKind::ListView, "", 210, 96, 200, 80, fw::kReportView},
            {kUpDown, ControlKind::UpDown, "", 315, 2, 11, 30},
            {fw::kNoId, ControlKind::Label, "  Up  ", 330, 2, 30, 8},
            {kCaption, ControlKind::Label, "Caption", 330, 20, 80, 8},
            {kApply, ControlKind::Button, "A&pply", 324, 205, 88, 16},
        },
    };
    return tmpl;
}

}  // namespace res

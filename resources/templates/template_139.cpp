// Dialog 139: the "History Info" tab page.
#include "resources/templates/template_139.h"

#include "resources/templates/tab_page_template.h"

namespace res {

const fw::DialogTemplate& Template139() {
    using fw::ControlKind;
    using fw::kNoId;
    using namespace t139;
    static const fw::DialogTemplate tmpl = TabPageTemplate(
        kTemplate,
        {
            // The criteria the configuration defines; the page only checks and clears them.
            {kCriteriaGroup, ControlKind::GroupBox, "Comparison criteria ", 6, 5, 176, 123},
            {kCriteria, ControlKind::CheckListBox, "", 12, 17, 163, 94},
            {kNoId, ControlKind::Label, "Check to compare by, when archiving and restore", 12, 115,
             0, 0},

            {kNoId, ControlKind::GroupBox, "History path ", 6, 134, 175, 50},
            {kHistoryPath, ControlKind::Edit, "", 12, 145, 163, 12},
            {kBrowse, ControlKind::Button, "Browse for it", 76, 161, 99, 16},

            {kNoId, ControlKind::GroupBox, "Max no. of history traces ", 6, 193, 175, 30},
            {kMaxHistoryCount, ControlKind::Edit, "", 12, 204, 163, 12, fw::kDigitsOnly},

            {kEnableFeedback, ControlKind::CheckBox, "Enable feedback", 197, 21, 0, 0},
            {kGenerateInfoFile, ControlKind::CheckBox, "Generate info file when archiving", 197, 39,
             0, 0},
            {kEnableDiskCounting, ControlKind::CheckBox, "Enable disk counting when archiving", 197,
             57, 0, 0},
            {kDeleteRobotDirectory, ControlKind::CheckBox,
             "Delete robot directory before restoring", 197, 75, 0, 0},
            {kSaveHistoryBeforeRestore, ControlKind::CheckBox, "Save history before restoring", 197,
             93, 0, 0},
            {kHistory, ControlKind::CheckBox, "History", 197, 111, 0, 0},
            {kNoId, ControlKind::Label,
             "There are some dependencies between the values of different variables. The "
             "program is automatically setting the dependent ones, when the user selects or "
             "deselects some conditions.",
             216, 134, 174, 43},

            // Common page buttons.
            {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
            {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
            {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
        });
    return tmpl;
}

}  // namespace res

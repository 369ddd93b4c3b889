#include "resources/templates/tab_page_template.h"

#include <utility>

namespace res {

fw::DialogTemplate TabPageTemplate(int number, std::vector<fw::ControlTemplate> controls) {
    return fw::DialogTemplate{
        number,
        "",
        418,
        245,
        "MS Sans Serif",
        8,
        fw::WindowKind::Child,
        fw::kDialogStyleNone,
        0,
        std::move(controls),
    };
}

fw::DialogTemplate PlaceholderPageTemplate(int number) {
    using fw::ControlKind;
    using namespace placeholder;
    return TabPageTemplate(
        number, {
                    {kApply, ControlKind::Button, "&Apply", 324, 205, 88, 16},
                    {kRestore, ControlKind::Button, "&Restore from Registry", 233, 205, 88, 16},
                    {kExit, ControlKind::Button, "E&xit", 324, 224, 88, 16},
                });
}

}  // namespace res

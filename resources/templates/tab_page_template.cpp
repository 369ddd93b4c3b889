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

}  // namespace res

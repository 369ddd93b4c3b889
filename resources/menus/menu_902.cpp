// Menu of the framework's test window 902.
#include "framework/dialog_template.h"
#include "resources/templates/template_900.h"

namespace res {

const fw::MenuTemplate& Menu902() {
    using namespace t902;
    static const fw::MenuTemplate menu{
        kMenu,
        {
            {"&General", {{"E&xit", kExitCommand}}},
            {"&Tabs", {{"&1 First", 32771}, {"&2 Second", 32772}, {"&3 Third", 32773}}},
            {"&Help", {{"&About", kAboutCommand}}},
        },
    };
    return menu;
}

}  // namespace res

// Menu 131 of the main window.
#include "framework/dialog_template.h"
#include "resources/templates/template_102.h"

namespace res {

const fw::MenuTemplate& Menu131() {
    using namespace m131;
    static const fw::MenuTemplate menu{
        kMenu,
        {
            {"&General", {{"E&xit", kExit}}},
            {"&Tabs",
             {
                 {"&1 Display", 32771},
                 {"&2 Filters", 32772},
                 {"&3 Methods", 32773},
                 {"&4 User Methods", 32774},
                 {"&5 Templates", 32775},
                 {"&6 Upgrade Manager", 32776},
                 {"&7 Archive Manager", 32777},
                 {"&8 History Info", 32778},
                 {"&9 General Layout", 32779},
             }},
            {"&Help", {{"&Help", kHelp}, {"&About", kAbout}}},
        },
    };
    return menu;
}

}  // namespace res

// Dialog 137: the "General/Folder Layout" tab page; see tab_page_template.h.
#include "resources/templates/template_137.h"

namespace res {

const fw::DialogTemplate& Template137() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t137::kTemplate);
    return tmpl;
}

}  // namespace res

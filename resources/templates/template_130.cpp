// Dialog 130: the "Filter/Filter list" tab page; see tab_page_template.h.
#include "resources/templates/template_130.h"

namespace res {

const fw::DialogTemplate& Template130() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t130::kTemplate);
    return tmpl;
}

}  // namespace res

// Dialog 133: the "Templates/Templates list" tab page; see tab_page_template.h.
#include "resources/templates/template_133.h"

namespace res {

const fw::DialogTemplate& Template133() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t133::kTemplate);
    return tmpl;
}

}  // namespace res

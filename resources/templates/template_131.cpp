// Dialog 131: the "Methods" tab page; see tab_page_template.h.
#include "resources/templates/template_131.h"

namespace res {

const fw::DialogTemplate& Template131() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t131::kTemplate);
    return tmpl;
}

}  // namespace res

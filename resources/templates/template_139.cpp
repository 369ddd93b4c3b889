// Dialog 139: the "History Info" tab page; see tab_page_template.h.
#include "resources/templates/template_139.h"

namespace res {

const fw::DialogTemplate& Template139() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t139::kTemplate);
    return tmpl;
}

}  // namespace res

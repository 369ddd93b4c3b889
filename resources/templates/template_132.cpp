// Dialog 132: the "User Methods" tab page; see tab_page_template.h.
#include "resources/templates/template_132.h"

namespace res {

const fw::DialogTemplate& Template132() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t132::kTemplate);
    return tmpl;
}

}  // namespace res

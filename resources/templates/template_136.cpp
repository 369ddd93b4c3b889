// Dialog 136: the "Archive Manager" tab page; see tab_page_template.h.
#include "resources/templates/template_136.h"

namespace res {

const fw::DialogTemplate& Template136() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t136::kTemplate);
    return tmpl;
}

}  // namespace res

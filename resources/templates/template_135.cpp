// Dialog 135: the "Upgrade Manager" tab page; see tab_page_template.h.
#include "resources/templates/template_135.h"

namespace res {

const fw::DialogTemplate& Template135() {
    static const fw::DialogTemplate tmpl = PlaceholderPageTemplate(t135::kTemplate);
    return tmpl;
}

}  // namespace res

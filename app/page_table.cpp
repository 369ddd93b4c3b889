#include "app/page_table.h"

#include "pages/archive/tab_dlg_archive_manager.h"
#include "pages/display/tab_dlg_display.h"
#include "pages/filters/tab_dlg_filters.h"
#include "pages/general/tab_dlg_general.h"
#include "pages/history/tab_dlg_history.h"
#include "pages/methods/tab_dlg_methods.h"
#include "pages/methods/tab_dlg_user_methods.h"
#include "pages/templates/tab_dlg_templates.h"
#include "pages/upgrade/tab_dlg_upgrade_manager.h"
#include "resources/strings.h"

const PageTable& DefaultPageTable() {
    using namespace res::strings;
    // The History page (template 139) comes before the General page (137); 134 is unused.
    static const PageTable table{
        {"Display", 129, &MakePage<CTabDlgDisplay>, kDisplayKeys},
        {"Filter/Filter list", 130, &MakePage<CTabDlgFilters>, kFilterKeys},
        {"Methods", 131, &MakePage<CTabDlgMethods>, kMethodKeys},
        {"User Methods", 132, &MakePage<CTabDlgUserMethods>, kMethodKeys},
        {"Templates/Templates list", 133, &MakePage<CTabDlgTemplates>, kTemplateKeys},
        {"Upgrade Manager", 135, &MakePage<CTabDlgUpgradeManager>, kUpgradeKeys},
        {"Archive Manager", 136, &MakePage<CTabDlgArchiveManager>, kArchiveKeys},
        {"History Info", 139, &MakePage<CTabDlgHistory>, kArchiveKeys},
        {"General/Folder Layout", 137, &MakePage<CTabDlgGeneral>, kGeneralKeys},
    };
    return table;
}

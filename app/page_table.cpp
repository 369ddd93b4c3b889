#include "app/page_table.h"

#include <algorithm>

#include "pages/archive/archive_registry.h"
#include "pages/archive/tab_dlg_archive_manager.h"
#include "pages/display/display_registry.h"
#include "pages/display/tab_dlg_display.h"
#include "pages/filters/filter_registry.h"
#include "pages/filters/tab_dlg_filters.h"
#include "pages/general/general_registry.h"
#include "pages/general/tab_dlg_general.h"
#include "pages/history/history_registry.h"
#include "pages/history/tab_dlg_history.h"
#include "pages/methods/method_registry.h"
#include "pages/methods/tab_dlg_methods.h"
#include "pages/methods/tab_dlg_user_methods.h"
#include "pages/templates/tab_dlg_templates.h"
#include "pages/templates/templates_registry.h"
#include "pages/upgrade/tab_dlg_upgrade_manager.h"
#include "pages/upgrade/upgrade_registry.h"

const PageTable& DefaultPageTable() {
    // The History page (template 139) comes before the General page (137); 134 is unused.
    static const PageTable table{
        MakePageEntry<CTabDlgDisplay>("Display", 129, display::kDisplayArea),
        MakePageEntry<CTabDlgFilters>("Filter/Filter list", 130, filters::kFiltersArea),
        MakePageEntry<CTabDlgMethods>("Methods", 131, methods::kMethodsArea),
        MakePageEntry<CTabDlgUserMethods>("User Methods", 132, methods::kUserMethodsArea),
        MakePageEntry<CTabDlgTemplates>("Templates/Templates list", 133, templates::kTemplatesArea),
        MakePageEntry<CTabDlgUpgradeManager>("Upgrade Manager", 135, upgrade::kUpgradeArea),
        MakePageEntry<CTabDlgArchiveManager>("Archive Manager", 136, archive::kArchiveManagerArea),
        MakePageEntry<CTabDlgHistory>("History Info", 139, history::kHistoryArea),
        MakePageEntry<CTabDlgGeneral>("General/Folder Layout", 137, general::kGeneralArea),
    };
    return table;
}

std::vector<std::string_view> AreaKeys(const PageTable& table) {
    std::vector<std::string_view> keys;
    for (const PageEntry& entry : table) {
        if (entry.area == nullptr)
            continue;
        for (const std::string_view key : entry.area->keys) {
            if (std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(key);
        }
    }
    return keys;
}

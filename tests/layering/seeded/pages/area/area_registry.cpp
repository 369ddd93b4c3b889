#include "pages/area/area_registry.h"
#include "pages/area/tab_dlg_area.h"
#include "pages/common/rules.h"
#include "pages/other/other_definition.h"

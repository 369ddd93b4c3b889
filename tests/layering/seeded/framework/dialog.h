#pragma once
#include <QDialog>
#include "pages/area/tab_dlg_area.h"
#include "resources/strings.h"

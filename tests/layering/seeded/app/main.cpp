#include <QApplication>
#include "pages/area/tab_dlg_area.h"

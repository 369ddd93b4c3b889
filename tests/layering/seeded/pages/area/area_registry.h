#pragma once
#include <framework/list_box.h>
#include "pages/area/area_definition.h"

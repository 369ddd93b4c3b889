#pragma once
#include "app/page_table.h"

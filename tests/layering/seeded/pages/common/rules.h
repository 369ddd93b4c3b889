#pragma once
#include "dialogs/picker.h"
#include "platform/fs.h"

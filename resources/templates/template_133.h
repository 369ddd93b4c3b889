#pragma once
// Dialog 133: the "Templates/Templates list" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t133 {
inline constexpr int kTemplate = 133;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t133

#pragma once
// Dialog 135: the "Upgrade Manager" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t135 {
inline constexpr int kTemplate = 135;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t135

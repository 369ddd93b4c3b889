#pragma once
// Dialog 136: the "Archive Manager" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t136 {
inline constexpr int kTemplate = 136;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t136

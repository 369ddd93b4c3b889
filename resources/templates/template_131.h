#pragma once
// Dialog 131: the "Methods" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t131 {
inline constexpr int kTemplate = 131;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t131

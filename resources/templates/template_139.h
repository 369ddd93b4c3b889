#pragma once
// Dialog 139: the "History Info" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t139 {
inline constexpr int kTemplate = 139;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t139

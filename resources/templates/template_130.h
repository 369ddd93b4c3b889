#pragma once
// Dialog 130: the "Filter/Filter list" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t130 {
inline constexpr int kTemplate = 130;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t130

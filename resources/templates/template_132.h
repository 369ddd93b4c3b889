#pragma once
// Dialog 132: the "User Methods" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t132 {
inline constexpr int kTemplate = 132;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t132

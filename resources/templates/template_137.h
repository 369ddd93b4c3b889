#pragma once
// Dialog 137: the "General/Folder Layout" tab page (so far only the common page buttons).

#include "resources/templates/tab_page_template.h"

namespace res::t137 {
inline constexpr int kTemplate = 137;
using placeholder::kApply;
using placeholder::kExit;
using placeholder::kRestore;
}  // namespace res::t137

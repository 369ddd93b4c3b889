#pragma once
// The program's version as the command line reports it; the About box shows the same text.

#include "resources/strings.h"

namespace app {

inline constexpr const char* kVersion = res::strings::kVersion;

}  // namespace app

#pragma once
// The system's help viewer for the program's help file.

#include <cstdint>

namespace platform {

inline constexpr char kHelpFileName[] = "VlxConfigurator.hlp";

// Opens the help file kHelpFileName at its contents page, owned by the window whose native
// handle is `ownerWindow` (0 for none), and returns at once. On Windows this is WinHelpA with
// HELP_CONTENTS on the help file beside the program; the result is whether the system accepted
// the request. Where there is no such viewer (not Windows, or a Windows without the WinHelp
// viewer) or no help file beside the program, returns false, so the caller shows the help
// document its own way.
bool OpenHelpContents(std::uintptr_t ownerWindow);

}  // namespace platform

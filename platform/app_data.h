#pragma once
// Where the program keeps files of its own for the user.

#include <string>

namespace platform {

// On Windows the program's folder in the user's local application data,
// "%LOCALAPPDATA%\VlxConfigurator" (it may not exist yet); "" when the system names no such
// folder. Elsewhere "": the program keeps nothing of its own there but its registry file.
std::string ProgramDataFolder();

}  // namespace platform

#pragma once
// Windows only: counts the registry calls this program's own code makes. Every Reg* function
// the executable imports is routed through a counter on its way to the system's (its slot in
// the import address table is rewritten at run time); the calls, their arguments, results and
// order stay as they are. Qt's DLLs import through tables of their own, so their calls are not
// counted.

#include <string>
#include <utility>
#include <vector>

namespace bench {

// Routes the imports. Returns the names of Reg* imports it has no counter for (those calls are
// not counted), or one entry saying why nothing could be routed.
std::vector<std::string> CountRegistryCalls();

// Registry calls since CountRegistryCalls; 0 without it.
unsigned long RegistryCalls();
// The same by function, for those called at least once.
std::vector<std::pair<std::string, unsigned long>> RegistryCallsByFunction();

}  // namespace bench

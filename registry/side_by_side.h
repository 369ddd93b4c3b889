#pragma once
// Reads of the registry that do not depend on one another, run side by side where the store
// allows it. On Windows every registry call is a round trip to the system (under Wine, to the
// wineserver), and the round trips of several threads overlap, so a few threads read a large
// configuration in about half the time of one. The file store serves one thread at a time, so
// there they run one after another, in order.

#include <functional>
#include <vector>

namespace registry {

// Whether ReadSideBySide runs its reads on threads of their own (true on the system registry).
bool ReadsRunSideBySide();

// Runs every read of `reads` once and returns when all have ended. A read must touch nothing
// but the registry and what it reads into. An exception thrown by a read is thrown here, after
// the others have ended (the first one, in the order of `reads`).
void ReadSideBySide(const std::vector<std::function<void()>>& reads);

}  // namespace registry

#pragma once
// A test's way to cut a save off where a crash would: every call that may change the registry
// (RegCreateKeyExA, RegSetValueExA, RegDeleteKeyA, RegDeleteValueA) asks the hook first, on the
// file store and on the system registry alike.

#include <functional>

#include "registry/win_registry.h"

namespace registry {

// `hook` is given each such call's number (1 for the first one after the hook was set) and
// returns 0 to let the call go on, or the result code the call then fails with, having changed
// nothing. An empty function removes the hook.
void SetRegistryWriteHook(std::function<LONG(unsigned long call)> hook);

// Asked by the entry points before a change: 0, or the code to fail the call with.
LONG BeforeRegistryWrite();

// How many calls have asked BeforeRegistryWrite since the process started (and how many times a
// file store was opened or closed): unchanged means that this process has changed nothing in the
// registry in between.
unsigned long RegistryChangeCount();
// Counts a change of the whole registry (another store opened, or none).
void NoteRegistryReplaced();

}  // namespace registry

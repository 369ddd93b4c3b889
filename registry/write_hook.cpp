#include "registry/write_hook.h"

#include <atomic>
#include <utility>

namespace registry {
namespace {

std::function<LONG(unsigned long)>& Hook() {
    static std::function<LONG(unsigned long)> hook;
    return hook;
}
// Start-up reads run on several threads (registry/side_by_side.h).
std::atomic<unsigned long> g_calls{0};
std::atomic<unsigned long> g_changes{0};

}  // namespace

void SetRegistryWriteHook(std::function<LONG(unsigned long call)> hook) {
    Hook() = std::move(hook);
    g_calls = 0;
}

LONG BeforeRegistryWrite() {
    ++g_changes;
    std::function<LONG(unsigned long)>& hook = Hook();
    return hook ? hook(++g_calls) : ERROR_SUCCESS;
}

unsigned long RegistryChangeCount() {
    return g_changes;
}

void NoteRegistryReplaced() {
    ++g_changes;
}

}  // namespace registry

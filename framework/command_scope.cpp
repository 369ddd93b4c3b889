#include "framework/command_scope.h"

#include <utility>

namespace fw {
namespace {

CommandScope& InstalledScope() {
    static CommandScope scope;
    return scope;
}

int g_depth = 0;

class DepthGuard {
  public:
    DepthGuard() { ++g_depth; }
    ~DepthGuard() { --g_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

}  // namespace

CommandScope SetCommandScope(CommandScope scope) {
    return std::exchange(InstalledScope(), std::move(scope));
}

void RunCommand(const Command& command) {
    if (!command) {
        return;
    }
    if (g_depth > 0 || !InstalledScope()) {
        DepthGuard guard;
        command();
        return;
    }
    // Copy: the scope may be replaced while the command runs.
    const CommandScope scope = InstalledScope();
    DepthGuard guard;
    bool ran = false;
    scope([&] {
        if (!ran) {
            ran = true;
            command();
        }
    });
}

bool InCommand() {
    return g_depth > 0;
}

}  // namespace fw

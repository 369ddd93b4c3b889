#include "platform/beep.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {
namespace {

BeepHandler& InstalledHandler() {
    static BeepHandler handler;
    return handler;
}

void SystemBeep(unsigned frequencyHz, unsigned durationMs) {
#ifdef _WIN32
    Beep(frequencyHz, durationMs);
#else
    (void)frequencyHz;
    (void)durationMs;
    if (isatty(STDERR_FILENO) == 1) {
        const char bell = '\a';
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, &bell, 1);
    }
#endif
}

}  // namespace

void SoundBeep(unsigned frequencyHz, unsigned durationMs) {
    if (const BeepHandler& handler = InstalledHandler()) {
        handler(frequencyHz, durationMs);
        return;
    }
    SystemBeep(frequencyHz, durationMs);
}

BeepHandler SetBeepHandler(BeepHandler handler) {
    return std::exchange(InstalledHandler(), std::move(handler));
}

}  // namespace platform

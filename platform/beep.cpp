#include "platform/beep.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {

void SoundBeep(unsigned frequencyHz, unsigned durationMs) {
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

}  // namespace platform

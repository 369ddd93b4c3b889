#pragma once
// A short audible signal.

#include <functional>

namespace platform {

// True where SoundBeep plays the asked tone itself (Windows).
#ifdef _WIN32
inline constexpr bool kBeepPlaysTone = true;
#else
inline constexpr bool kBeepPlaysTone = false;
#endif

// On Windows the system's Beep with the given frequency and duration (it returns when the tone
// has ended). Elsewhere the frequency and duration cannot be chosen: this rings the terminal
// bell when standard error is a terminal and does nothing otherwise; a GUI that wants a sound
// there installs its toolkit's own beep with SetBeepHandler.
// While a handler is installed, every beep goes to it instead.
void SoundBeep(unsigned frequencyHz, unsigned durationMs);

using BeepHandler = std::function<void(unsigned frequencyHz, unsigned durationMs)>;

// Routes every later SoundBeep to `handler`; an empty handler gives the beep back to the
// system. Returns the handler installed before. Not thread-safe: beeps come from the UI thread.
BeepHandler SetBeepHandler(BeepHandler handler);

}  // namespace platform

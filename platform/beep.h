#pragma once
// A short audible signal.

namespace platform {

// On Windows the system's Beep with the given frequency and duration (it returns when the tone
// has ended). Elsewhere the frequency and duration cannot be chosen: this rings the terminal
// bell when standard error is a terminal and does nothing otherwise; a GUI that wants a sound
// there uses its toolkit's own beep.
void SoundBeep(unsigned frequencyHz, unsigned durationMs);

}  // namespace platform

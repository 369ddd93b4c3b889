#pragma once
// Dialog 151: the About box.

namespace res::t151 {
inline constexpr int kTemplate = 151;
inline constexpr int kIcon = 128;
inline constexpr int kVersion = 1169;  // "xxxxxxxxx" until initialised
// OK is fw::kIdOk.
}  // namespace res::t151

#pragma once
// Dialog 135: the "Upgrade Manager" tab page (so far only the common page buttons).

namespace res::t135 {
inline constexpr int kTemplate = 135;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t135
